#pragma once
// How the tool asks the C library's allocator to treat the large buffers of its images.

namespace chaosmix::cli {

// Keeps the large buffers of one image in the process for the next image instead of handing
// them back to the system and faulting fresh pages in again: a batch of 1024 x 1024 images
// spent a third of its time in the kernel doing that, and two workers contended for it.
// Does nothing where the C library offers no such setting.
void keepFreedBuffersForReuse();

}  // namespace chaosmix::cli
