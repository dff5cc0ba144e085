// The key list against the platform's own DirectInput constants.
#ifdef _WIN32

#define DIRECTINPUT_VERSION 0x0800
#include <dinput.h>
#include <gtest/gtest.h>

#include <charconv>
#include <string_view>

#include "core/key_list.h"

namespace {

struct DikConstant {
    std::string_view name;
    int code;
};

// clang-format off
#define DIK(name) DikConstant{#name, DIK_##name}

// Rows 1 to 123 of the key list, in order.
constexpr DikConstant dik_constants[] = {
    DIK(ESCAPE), DIK(1), DIK(2), DIK(3), DIK(4), DIK(5), DIK(6), DIK(7), DIK(8), DIK(9), DIK(0),
    DIK(MINUS), DIK(EQUALS), DIK(BACK), DIK(TAB), DIK(Q), DIK(W), DIK(E), DIK(R), DIK(T), DIK(Y),
    DIK(U), DIK(I), DIK(O), DIK(P), DIK(LBRACKET), DIK(RBRACKET), DIK(RETURN), DIK(LCONTROL),
    DIK(A), DIK(S), DIK(D), DIK(F), DIK(G), DIK(H), DIK(J), DIK(K), DIK(L), DIK(SEMICOLON),
    DIK(APOSTROPHE), DIK(GRAVE), DIK(LSHIFT), DIK(BACKSLASH), DIK(Z), DIK(X), DIK(C), DIK(V),
    DIK(B), DIK(N), DIK(M), DIK(COMMA), DIK(PERIOD), DIK(SLASH), DIK(RSHIFT), DIK(MULTIPLY),
    DIK(LMENU), DIK(SPACE), DIK(CAPITAL), DIK(F1), DIK(F2), DIK(F3), DIK(F4), DIK(F5), DIK(F6),
    DIK(F7), DIK(F8), DIK(F9), DIK(F10), DIK(NUMLOCK), DIK(SCROLL), DIK(NUMPAD7), DIK(NUMPAD8),
    DIK(NUMPAD9), DIK(SUBTRACT), DIK(NUMPAD4), DIK(NUMPAD5), DIK(NUMPAD6), DIK(ADD), DIK(NUMPAD1),
    DIK(NUMPAD2), DIK(NUMPAD3), DIK(NUMPAD0), DIK(DECIMAL),
    DIK(F11), DIK(F12), DIK(F13), DIK(F14), DIK(F15), DIK(KANA), DIK(CONVERT), DIK(NOCONVERT),
    DIK(YEN), DIK(NUMPADEQUALS), DIK(CIRCUMFLEX), DIK(AT), DIK(COLON), DIK(UNDERLINE), DIK(KANJI),
    DIK(STOP), DIK(AX), DIK(UNLABELED), DIK(NUMPADENTER), DIK(RCONTROL), DIK(NUMPADCOMMA),
    DIK(DIVIDE), DIK(SYSRQ), DIK(RMENU), DIK(PAUSE), DIK(HOME), DIK(UP), DIK(PRIOR), DIK(LEFT),
    DIK(RIGHT), DIK(END), DIK(DOWN), DIK(NEXT), DIK(INSERT), DIK(DELETE), DIK(LWIN), DIK(RWIN),
    DIK(APPS), DIK(POWER), DIK(SLEEP),
};

#undef DIK
// clang-format on

TEST(KeyListAgainstDinput, EveryKeyRowIsTheDikConstantOfItsName) {
    ASSERT_EQ(std::size(dik_constants) + 1, launcher::key_list.size());
    for (std::size_t i = 0; i < std::size(dik_constants); ++i) {
        const auto& row = launcher::key_list[i + 1];
        const auto& constant = dik_constants[i];
        SCOPED_TRACE(constant.name);
        EXPECT_EQ(row.display_name, constant.name);
        int code = -1;
        ASSERT_TRUE(row.code.starts_with("0x"));
        std::from_chars(row.code.data() + 2, row.code.data() + row.code.size(), code, 16);
        EXPECT_EQ(code, constant.code);
    }
}

}  // namespace

#endif  // _WIN32
