function package_test(tarball, dataDir)
  % Installs the package with pkg into a temporary prefix (never the user's or the system's
  % package lists), loads it, checks the help text and round-trips the sample images.
  prefix = tempname();
  mkdir(prefix);
  here = pwd;
  cleanup = onCleanup(@() leaveAndRemove(here, prefix));
  cd(prefix);  % nothing of the deliverables' names in the current directory
  pkg('prefix', fullfile(prefix, 'share'), fullfile(prefix, 'lib'));
  pkg('local_list', fullfile(prefix, 'local_packages'));
  pkg('global_list', fullfile(prefix, 'global_packages'));
  pkg('install', '-local', '-nodeps', tarball);
  pkg('load', 'chaosmix');
  names = {'cubemix', 'cubeunmix', 'foldmix', 'foldunmix'};
  for i = 1:numel(names)
    where = which(names{i});
    assert(strncmp(where, prefix, numel(prefix)) && strcmp(where(end-3:end), '.mex'), ...
           '%s resolves to %s', names{i}, where);
  end
  assert(~isempty(strfind(evalc('help cubemix'), 'cubemix(I, ROUNDS, KEY)')));
  state = warning('off', 'all');
  gray = double(imread(fullfile(dataDir, 'camera.png')));
  colour = double(imread(fullfile(dataDir, 'astronaut.png')));
  warning(state);
  key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
  C = cubemix(gray, 2, key);
  assert(~isequal(C, gray) && isequal(cubeunmix(C, 2, key), gray));
  C = foldmix(colour, 3, key);
  assert(~isequal(C, colour) && isequal(foldunmix(C, 3, key), colour));
  pkg('unload', 'chaosmix');
  printf('the package installs, loads and round-trips\n');
end

function leaveAndRemove(here, directory)
  cd(here);
  confirm_recursive_rmdir(false);
  rmdir(directory, 's');
end
