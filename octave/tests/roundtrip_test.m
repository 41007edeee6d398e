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
      % Raised as an error when the user asks so; the call has nothing left to free then.
      state = warning('error', 'chaosmix:lossyPermutation');
      try
        cubemix(camera(1:480, 1:450), 1, key);
        raised = false;
      catch err
        raised = strcmp(err.identifier, 'chaosmix:lossyPermutation');
      end
      warning(state);
      assert(raised, 'the lossy-permutation warning did not become an error');
      break;
    end
  end
  assert(lossyFound, 'no key with a lossy cube permutation found for 480 x 450');
  checkShapesAndConversions(camera(1:64, 1:48), astronaut(1:64, 1:48, :), keys{1});
  printf('round trips passed (%d cube round trips restored)\n', restored);
end

function checkShapesAndConversions(gray, colour, key)
  % What Octave hands the deliverables beyond plain real matrices.
  for name = {'cubemix', 'cubeunmix', 'foldmix', 'foldunmix'}
    fn = str2func(name{1});
    expected = fn(gray, 2, key);
    assert(isequal(fn(complex(gray, 1), 2, key), expected), 'complex: the real part counts');
    assert(isequal(fn(cat(4, gray, gray + 1), 2, key), expected), '4-D: the first M x N');
    assert(isequal(fn(gray, [2 5 7], key'), expected), 'only the first round count counts');
    assert(isequal(fn(gray, 2.9, reshape(key, 4, 4)'), expected), '4 x 4 key read row by row');
    assert(isequal(fn(gray + 256, 2, key + 512), expected), 'low octets of pixels and key');
    fn(gray, 2, key);  % no requested result
    assert(isequal(ans, expected));
    assert(isequal(size(fn(zeros(0, 5), 2, key)), [0 5]), 'no cells: empty result');
  end
  C = foldmix(cat(3, colour, 9 * ones(size(gray))), 2, key);
  assert(isequal(size(C), [size(gray) 4]) && all(all(C(:, :, 4) == 0)), 'fourth plane');
  assert(isequal(C(:, :, 1:3), foldmix(colour, 2, key)), 'M x N x 4 from its first three planes');
  assert(isequal(size(foldmix(zeros(5, 5, 0), 2, key)), [5 5 0]), 'no planes: empty result');
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
