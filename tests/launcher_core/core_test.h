#pragma once

// What the tests of the launcher's file logic share: line lists made from literal lines, and
// the message of the launcher error an action raises.

#include <functional>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/line_list.h"

namespace core_test {

inline launcher::LineList list_of(const std::vector<std::string>& lines) {
    launcher::LineList list;
    for (const auto& line : lines) list.add(line);
    return list;
}

// The message of the launcher error `action` raises; empty when it raises none.
inline std::string error_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const launcher::Error& error) {
        return error.what();
    }
    return {};
}

}  // namespace core_test
