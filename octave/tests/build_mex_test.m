function build_mex_test(octaveDir, dataDir)
  % octave/build_mex.m compiles the four deliverables from the source tree with Octave's mex;
  % the files it builds (and no others on the path) then round-trip the sample images.
  outputDir = tempname();
  here = pwd;
  cleanup = onCleanup(@() leaveAndRemove(here, outputDir));
  addpath(octaveDir);
  build_mex(outputDir);
  rmpath(octaveDir);  % its help files must not shadow the built MEX files
  names = {'cubemix', 'cubeunmix', 'foldmix', 'foldunmix'};
  for i = 1:numel(names)
    assert(isfile(fullfile(outputDir, [names{i} '.mex'])), 'no %s.mex', names{i});
  end
  cd(outputDir);  % the current directory comes first: nothing else of these names comes first
  for i = 1:numel(names)
    assert(strcmp(which(names{i}), fullfile(outputDir, [names{i} '.mex'])), ...
           '%s resolves to %s', names{i}, which(names{i}));
  end
  state = warning('off', 'all');
  gray = double(imread(fullfile(dataDir, 'camera.png')));
  colour = double(imread(fullfile(dataDir, 'astronaut.png')));
  warning(state);
  key = [12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160];
  C = cubemix(gray, 2, key);
  assert(~isequal(C, gray) && isequal(cubeunmix(C, 2, key), gray));
  for image = {gray, colour}
    C = foldmix(image{1}, 3, key);
    assert(~isequal(C, image{1}) && isequal(foldunmix(C, 3, key), image{1}));
  end
  assert(~isempty(strfind(evalc('help foldmix'), 'foldmix(I, ROUNDS, KEY)')));
  printf('build_mex built four working deliverables\n');
end

function leaveAndRemove(here, directory)
  cd(here);
  if exist(directory, 'dir')
    confirm_recursive_rmdir(false);
    rmdir(directory, 's');
  end
end
