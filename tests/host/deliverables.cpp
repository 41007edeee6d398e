#include "deliverables.h"

#include <dlfcn.h>

#include <stdexcept>

namespace chaosmix::test {

host::MexFunction deliverable(const std::string& name) {
  const std::string path = std::string(CHAOSMIX_HOST_MODULE_DIR) + "/" + name + ".so";
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
  void* entry = dlsym(module, "mexFunction");
  if (entry == nullptr) throw std::runtime_error(path + " exports no mexFunction");
  return reinterpret_cast<host::MexFunction>(entry);
}

}  // namespace chaosmix::test
