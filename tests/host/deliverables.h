#pragma once
// Loading the four deliverables into the test process, as a host loads its plug-ins.

#include "host/host.h"

#include <string>

namespace chaosmix::test {

// The deliverable's mexFunction (cubemix, cubeunmix, foldmix or foldunmix). The module stays
// loaded until the process ends, as in a host.
host::MexFunction deliverable(const std::string& name);

}  // namespace chaosmix::test
