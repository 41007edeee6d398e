function build_mex(outputDir)
  % BUILD_MEX  Compile cubemix, cubeunmix, foldmix and foldunmix from the chaosmix sources.
  %
  %   build_mex()           builds the four MEX files into the current directory.
  %   build_mex(OUTPUTDIR)  builds them into OUTPUTDIR (created when missing).
  %
  %   Works with the mex command of MATLAB and of GNU Octave; needs a C++20 compiler.
  %   Each source is compiled once, then every deliverable is linked from the objects of
  %   its cipher. The help files (cubemix.m, ...) are copied next to the MEX files.
  if nargin < 1
    outputDir = pwd;
  end
  if ~exist(outputDir, 'dir')
    mkdir(outputDir);
  end
  outputDir = absolutePath(outputDir);
  root = fileparts(fileparts(mfilename('fullpath')));
  octave = exist('OCTAVE_VERSION', 'builtin') ~= 0;

  includes = {['-I' root], ['-I' fullfile(root, 'include')]};
  if octave
    % mkoctfile takes its compiler flags from the environment.
    previous = getenv('CXXFLAGS');
    setenv('CXXFLAGS', '-std=c++20 -O2 -ffp-contract=off -fno-fast-math');
    restoreFlags = onCleanup(@() setenv('CXXFLAGS', previous));
    flags = includes;
  else
    flags = [includes, {'CXXFLAGS=$CXXFLAGS -std=c++20 -ffp-contract=off -fno-fast-math'}];
  end

  objectRoot = tempname();
  mkdir(objectRoot);
  removeObjects = onCleanup(@() removeDirectory(objectRoot));

  common = compileAll(root, 'common', {}, flags, objectRoot, octave);
  shared = compileAll(root, 'mex', {'arguments.cpp'}, flags, objectRoot, octave);
  cube = compileAll(root, 'cube', {}, flags, objectRoot, octave);
  fold = compileAll(root, 'fold', {}, flags, objectRoot, octave);
  entries = compileAll(root, 'mex', {'cubemix.cpp', 'cubeunmix.cpp', 'foldmix.cpp', ...
                                     'foldunmix.cpp'}, flags, objectRoot, octave);

  names = {'cubemix', 'cubeunmix', 'foldmix', 'foldunmix'};
  cores = {cube, cube, fold, fold};
  for i = 1:numel(names)
    objects = [entries(i), cores{i}, shared, common];
    if octave
      output = {'-o', fullfile(outputDir, [names{i} '.mex'])};
    else
      output = {'-outdir', outputDir, '-output', names{i}};
    end
    mex(output{:}, objects{:});
    copyfile(fullfile(root, 'octave', [names{i} '.m']), outputDir);
  end
end

function objects = compileAll(root, subdir, files, flags, objectRoot, octave)
  % Compiles root/subdir/<file> for every file (every .cpp file when files is empty) into
  % objectRoot/subdir, and returns the object paths.
  sourceDir = fullfile(root, subdir);
  if isempty(files)
    listing = dir(fullfile(sourceDir, '*.cpp'));
    files = {listing.name};
  end
  objectDir = fullfile(objectRoot, subdir);
  if ~exist(objectDir, 'dir')
    mkdir(objectDir);
  end
  if octave
    objectExtension = '.o';
  else
    objectExtension = ['.' mexext_object()];
  end
  here = pwd;
  returnHere = onCleanup(@() cd(here));
  cd(objectDir);
  objects = cell(1, numel(files));
  for i = 1:numel(files)
    source = fullfile(sourceDir, files{i});
    if octave
      mex('-c', flags{:}, source);
    else
      mex('-c', '-outdir', objectDir, flags{:}, source);
    end
    [~, base] = fileparts(files{i});
    objects{i} = fullfile(objectDir, [base objectExtension]);
  end
end

function extension = mexext_object()
  if ispc
    extension = 'obj';
  else
    extension = 'o';
  end
end

function path = absolutePath(path)
  here = pwd;
  cd(path);
  path = pwd;
  cd(here);
end

function removeDirectory(directory)
  if exist('confirm_recursive_rmdir', 'builtin') || exist('confirm_recursive_rmdir')
    confirm_recursive_rmdir(false);
  end
  rmdir(directory, 's');
end
