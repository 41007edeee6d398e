function roundtrip_test(dataDir)
  % Round trips of both ciphers on the bundled sample images, several keys and round counts.
  camera = readImage(fullfile(dataDir, 'camera.png'));
  astronaut = readImage(fullfile(dataDir, 'astronaut.png'));
  assert(isequal(size(camera), [512 512]));
  assert(isequal(size(astronaut), [512 512 3]));

  keys = {[12 250 7 99 0 31 128 64 200 5 17 240 33 1 77 160], ...
          0:15, ...
          reshape(mod((1:16) * 37, 256), 4, 4), ...
          [255 * ones(1, 8), 1:8]'};

  % The fold cipher always restores the image, gray and colour.
  for k = 1:numel(keys)
    for rounds = [1 2 5]
      for image = {camera, astronaut}
        I = image{1};
        C = foldmix(I, rounds, keys{k});
        checkCiphertext(C, I);
        assert(isequal(foldunmix(C, rounds, keys{k}), I), ...
               'foldunmix did not restore the image (key %d, %d rounds)', k, rounds);
      end
    end
  end

  % The cube cipher restores the image exactly when it does not warn of a lossy permutation.
  restored = 0;
  for k = 1:numel(keys)
    for rounds = [1 3]
      lastwarn('');
      C = cubemix(camera, rounds, keys{k});
      [~, id] = lastwarn();
      lossy = strcmp(id, 'chaosmix:lossyPermutation');
      checkCiphertext(C, camera);
      I2 = cubeunmix(C, rounds, keys{k});
      assert(isequal(I2, camera) == ~lossy, ...
             'cube round trip (key %d, %d rounds): restored %d, lossy warning %d', ...
             k, rounds, isequal(I2, camera), lossy);
      restored = restored + ~lossy;
    end
  end
  assert(restored >= 4, 'too few one-to-one cube permutations to test the round trip');

  % An image whose permutation loses cells: warned in both directions, result still returned.
  key = keys{1};
  lossyFound = false;
  for first = 0:255
    key(1) = first;
    lastwarn('');
    C = cubemix(camera(1:480, 1:450), 1, key);
    [msg, id] = lastwarn();
    if strcmp(id, 'chaosmix:lossyPermutation')
      lossyFound = true;
      assert(~isempty(strfind(msg, 'cubeunmix cannot restore this image with this key and size')));
      lastwarn('');
      cubeunmix(C, 1, key);
      [~, id] = lastwarn();
      assert(strcmp(id, 'chaosmix:lossyPermutation'));
      break;
    end
  end
  assert(lossyFound, 'no key with a lossy cube permutation found for 480 x 450');
  printf('round trips passed (%d cube round trips restored)\n', restored);
end

function I = readImage(file)
  state = warning('off', 'all');  % GraphicsMagick's remarks on the colour profile
  I = double(imread(file));
  warning(state);
end

function checkCiphertext(C, I)
  assert(strcmp(class(C), 'double'));
  assert(isequal(size(C), size(I)));
  assert(all(C(:) == fix(C(:)) & C(:) >= 0 & C(:) <= 255));
  assert(~isequal(C, I), 'the ciphertext equals the image');
end
