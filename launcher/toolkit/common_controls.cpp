#include "toolkit/common_controls.h"

#include <stdexcept>
#include <string>

#include "platform/win32/system_library.h"

namespace toolkit {
namespace {

class LoadedCommonControls {
  public:
    LoadedCommonControls() {
        functions_.init_common_controls_ex =
            find<decltype(::InitCommonControlsEx)>("InitCommonControlsEx");
        functions_.set_window_subclass = find<decltype(::SetWindowSubclass)>("SetWindowSubclass");
        functions_.remove_window_subclass =
            find<decltype(::RemoveWindowSubclass)>("RemoveWindowSubclass");
        functions_.def_subclass_proc = find<decltype(::DefSubclassProc)>("DefSubclassProc");
    }
    const CommonControls& functions() const { return functions_; }

  private:
    template <class Function>
    Function* find(const char* name) const {
        Function* function = library_.find<Function>(name);
        if (!function)
            throw std::runtime_error(std::string("The system's comctl32.dll lacks ") + name);
        return function;
    }

    platform::SystemLibrary library_{L"comctl32.dll"};
    CommonControls functions_;
};

}  // namespace

const CommonControls& common_controls() {
    static const LoadedCommonControls loaded;
    return loaded.functions();
}

}  // namespace toolkit
