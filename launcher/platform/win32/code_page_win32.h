#pragma once

// A Windows code page as the line-list file's ANSI code page.

#include "interfaces/system.h"

namespace platform {

class Win32CodePage final : public launcher::CodePage {
  public:
    explicit Win32CodePage(unsigned code_page) : code_page_(code_page) {}

    std::string decode(std::string_view bytes) const override;
    // Refuses (nothing) when a character has no exact place: no best-fit look-alikes.
    std::optional<std::string> encode(std::string_view utf8) const override;

  private:
    unsigned code_page_;
};

// The system's ANSI code page (GetACP), made once.
const launcher::CodePage& ansi_code_page();

}  // namespace platform
