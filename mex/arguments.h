#pragma once
// What the front ends of the four deliverables share: reading the host's arguments, the texts
// of the checks both ciphers add, and the mapping of library failures to host error texts.
// Written against the MEX C API only (mex.h), so it builds with every host.

#include "mex.h"

#include <chaosmix/key.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>

namespace chaosmix::frontend {

inline constexpr const char* kTooFewArgumentsMessage =
    "At least three input arguments is required.";
inline constexpr const char* kTooManyOutputsMessage = "Too many output arguments.";
inline constexpr const char* kSparseMessage =
    "Sparse arguments are not supported: convert them with full() first.";
inline constexpr const char* kEmptyRoundCountMessage = "Round count should not be empty.";
inline constexpr const char* kNoElementsMessage = "The image has no elements.";
inline constexpr const char* kOutOfMemoryMessage = "Out of memory.";

// a * b, or the largest std::size_t when the product does not fit.
std::size_t saturatingProduct(std::size_t a, std::size_t b);

// The image's first two extents (rows, columns) and, when it has exactly three dimensions, its
// third (otherwise 1). Further dimensions are not part of the shape. Kept unsigned whatever
// the host's mwSize is (signed in some hosts, unsigned in others).
struct ImageShape {
  std::size_t rows = 0;
  std::size_t columns = 0;
  std::size_t planes = 1;
  std::size_t cells() const { return saturatingProduct(rows, columns); }
};
ImageShape readImageShape(const mxArray* image);

bool anySparse(const mxArray* image, const mxArray* rounds, const mxArray* key);

// Whether the key holds exactly 16 elements, its extents multiplied without wrapping.
bool holdsSixteenElements(const mxArray* key);

// The low 32 bits of the truncated first element. The argument must not be empty.
std::int32_t readRoundCount(const mxArray* rounds);

// The key octets read row by row (see common/key_reading.h).
CipherKey readKey(const mxArray* key);

// A host error text held in the caller's frame (no heap), so that it can be raised after every
// buffer of the call has been freed: when the host ends the call from inside mexErrMsgTxt, no
// destructor has to run. An empty text means success.
class HostMessage {
 public:
  HostMessage() = default;
  explicit HostMessage(const char* text);
  bool empty() const { return text_[0] == '\0'; }
  const char* text() const { return text_.data(); }

 private:
  std::array<char, 192> text_{};
};

// Runs body() and turns the library's exceptions into host error texts: std::bad_alloc into
// "Out of memory.", every other std::exception into its own message. Anything else (a host
// exception) passes through untouched.
template <class Body>
HostMessage failureOf(Body&& body) {
  try {
    body();
    return HostMessage();
  } catch (const std::bad_alloc&) {
    return HostMessage(kOutOfMemoryMessage);
  } catch (const std::exception& e) {
    return HostMessage(e.what());
  }
}

}  // namespace chaosmix::frontend
