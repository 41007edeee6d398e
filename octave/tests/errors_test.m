function errors_test()
  % Every error text of the four deliverables, as Octave reports it ("name: text").
  I = magic(4);
  key = 1:16;
  u8 = uint8(I);
  cases = {
    % function, arguments, expected text (the same in all four unless given per function)
    {'all', {I, 2}, 'At least three input arguments is required.'}
    {'all', {}, 'At least three input arguments is required.'}
    {'all', {single(I), 2, key}, {'Elements in matrix should be double type.', ...
                                  'Elements in matrix should be of double type.'}}
    {'all', {int8(I), single(2), key}, {'Elements in matrix should be double type.', ...
                                        'Elements in matrix should be of double type.'}}
    {'all', {I, single(2), uint8(key)}, 'Elements in second matrix should be of double type.'}
    {'all', {I, int32(2), key}, 'Elements in second matrix should be of double type.'}
    {'cube', {cat(3, u8, u8, u8), 2, key}, 'Currently only gray-scale images are supported.'}
    {'cube', {cat(3, I, I), 2, key}, 'Currently only gray-scale images are supported.'}
    {'fold', {cat(3, I, I), 2, key}, 'Colour images should have three planes.'}
    {'all', {I, 2, uint8(key)}, {'Elements in second matrix should be double type.', ...
                                 'Elements in second matrix should be double type.', ...
                                 'Elements in second matrix should be of double type.', ...
                                 'Elements in second matrix should be double type.'}}
    {'all', {I, 2, 'abcdefghijklmnop'}, {'Elements in second matrix should be double type.', ...
                                          'Elements in second matrix should be double type.', ...
                                          'Elements in second matrix should be of double type.', ...
                                          'Elements in second matrix should be double type.'}}
    {'all', {I, 2, 1:15}, {'Key should be 16 bits of length.', 'Key should be 16 bits of length.', ...
                           'Key should be 16 bits in length.', 'Key should be 16 bits of length.'}}
    {'all', {I, 2, (1:17)'}, {'Key should be 16 bits of length.', 'Key should be 16 bits of length.', ...
                              'Key should be 16 bits in length.', 'Key should be 16 bits of length.'}}
    {'all', {sparse(I), 2, key}, 'Sparse arguments are not supported: convert them with full() first.'}
    {'all', {I, sparse(2), key}, 'Sparse arguments are not supported: convert them with full() first.'}
    {'all', {I, 2, sparse(reshape(key, 4, 4))}, 'Sparse arguments are not supported: convert them with full() first.'}
    {'all', {I, [], key}, 'Round count should not be empty.'}
    {'all', {I, zeros(1, 0), key}, 'Round count should not be empty.'}
    {'all', {zeros(4, 4, 3, 0), 2, key}, 'The image has no elements.'}
  };
  names = {'cubemix', 'cubeunmix', 'foldmix', 'foldunmix'};
  checked = 0;
  for c = 1:numel(cases)
    [which, args, expected] = cases{c}{:};
    for f = 1:4
      name = names{f};
      if ~(strcmp(which, 'all') || strncmp(name, which, 4))
        continue;
      end
      text = expected;
      if iscell(expected)
        if numel(expected) == 2
          text = expected{1 + (f > 2)};
        else
          text = expected{f};
        end
      end
      expectError(name, 1, args, text);
      checked = checked + 1;
    end
  end
  % Too many results: the second requested result.
  for f = 1:4
    expectError(names{f}, 2, {I, 2, key}, 'Too many output arguments.');
  end
  printf('%d error texts checked\n', checked + 4);
end

function expectError(name, nout, args, text)
  fn = str2func(name);
  try
    if nout == 2
      [a, b] = fn(args{:});
    else
      a = fn(args{:});
    end
  catch err
    % Octave puts the function's name before the text, and drops a final line feed.
    expected = [name ': ' text];
    assert(strcmp(err.message, expected), '%s: got "%s", expected "%s"', name, err.message, expected);
    return;
  end
  error('%s did not fail (expected "%s")', name, text);
end
