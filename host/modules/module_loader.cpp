#include "host/modules/module_loader.h"

#include <dlfcn.h>

#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// dlerror names the file it could not open before its reason; the message
// names it once already.
std::string reason_without(const std::string &path, const char *said)
{
    std::string reason = said != nullptr ? said : "unknown reason";
    if (reason.starts_with(path + ": "))
        reason.erase(0, path.size() + 2);
    return reason;
}

// The folder the modules are loaded from: the program's own file's folder,
// then the path from the installed programs to the installed modules. ""
// with the reason in *error where the program's own file cannot be read.
std::string module_folder(std::string *error)
{
    std::error_code failed;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed) {
        *error = "cannot find the program's own file (/proc/self/exe): " + failed.message();
        return "";
    }
    return (exe.parent_path() / PC_SNAKE_MODULE_DIR).lexically_normal().string();
}

} // namespace

loaded_module_t load_module(const module_file_t &module)
{
    std::string reason;
    const std::string folder = module_folder(&reason);
    const std::string path = folder.empty() ? module.file : folder + "/" + module.file;
    const auto fail = [&](const std::string &why) {
        return loaded_module_t{nullptr, "cannot load the module " + path + " (" + module.brings +
                                            "): " + why};
    };
    if (folder.empty())
        return fail(reason);
    // Everything resolved now, so that a missing library shows before the work.
    void *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return fail(reason_without(path, ::dlerror()));
    using entry_t = const void *(*)();
    const auto entry = reinterpret_cast<entry_t>(::dlsym(handle, module.entry));
    if (entry == nullptr) {
        const std::string why = reason_without(path, ::dlerror());
        ::dlclose(handle);
        return fail(why);
    }
    const void *table = entry();
    std::uint32_t abi = 0;
    if (table != nullptr)
        std::memcpy(&abi, table, sizeof abi); // every table begins with its interface number
    if (abi != module.abi) {
        ::dlclose(handle);
        return fail("it belongs to another version of the programs");
    }
    return {table, ""};
}
