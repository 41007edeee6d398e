function library_equality_test(dataDir, tool)
  % The deliverables give exactly the library's results for the same inputs: both ciphers, both
  % directions, gray and colour, on the sample images and on octets that need reducing.
  camera = readImage(fullfile(dataDir, 'camera.png'));
  astronaut = readImage(fullfile(dataDir, 'astronaut.png'));
  odd = mod(reshape(0:(37 * 23 - 1), 37, 23) * 7919, 1000) - 300.5;  % elements beyond 0..255
  keys = {[12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160], mod((1:16) * 101, 256)};
  work = tempname();
  mkdir(work);
  cleanup = onCleanup(@() removeDirectory(work));
  compared = 0;
  for k = 1:numel(keys)
    key = keys{k};
    for rounds = [1 4]
      compare('cube', 'encrypt', @cubemix, camera, rounds, key, tool, work);
      compare('cube', 'decrypt', @cubeunmix, camera, rounds, key, tool, work);
      compare('cube', 'encrypt', @cubemix, odd, rounds, key, tool, work);
      compare('fold', 'encrypt', @foldmix, camera, rounds, key, tool, work);
      compare('fold', 'decrypt', @foldunmix, camera, rounds, key, tool, work);
      compare('fold', 'encrypt', @foldmix, astronaut, rounds, key, tool, work);
      compare('fold', 'decrypt', @foldunmix, astronaut, rounds, key, tool, work);
      compare('fold', 'encrypt', @foldmix, odd, rounds, key, tool, work);
      compared = compared + 8;
    end
  end
  printf('%d results equal the library''s\n', compared);
end

function compare(cipher, direction, fn, image, rounds, key, tool, work)
  in = fullfile(work, 'in.raw');
  out = fullfile(work, 'out.raw');
  octets = mod(fix(image), 256);  % the octets the deliverables read (no NaN here)
  writeOctets(in, octets);
  [rows, columns, planes] = size(image);
  command = sprintf('"%s" %s %s %d %d %d %d %s "%s" "%s"', tool, cipher, direction, rows, ...
                    columns, planes, rounds, strjoin(arrayfun(@num2str, key, ...
                    'UniformOutput', false), ','), in, out);
  [status, output] = system(command);
  assert(status == 0, 'library_cipher failed: %s', output);
  expected = reshape(readOctets(out, numel(image)), size(image));
  state = warning('off', 'chaosmix:lossyPermutation');
  actual = fn(image, rounds, key);
  warning(state);
  assert(isequal(actual, expected), '%s %s (%d rounds) differs from the library', ...
         cipher, direction, rounds);
end

function writeOctets(file, octets)
  fid = fopen(file, 'w');
  fwrite(fid, octets(:), 'uint8');
  fclose(fid);
end

function octets = readOctets(file, count)
  fid = fopen(file, 'r');
  octets = fread(fid, count, 'uint8=>double');
  fclose(fid);
  assert(numel(octets) == count, 'the library wrote %d octets, not %d', numel(octets), count);
end

function I = readImage(file)
  state = warning('off', 'all');  % GraphicsMagick's remarks on the colour profile
  I = double(imread(file));
  warning(state);
end

function removeDirectory(directory)
  confirm_recursive_rmdir(false);
  rmdir(directory, 's');
end
