#pragma once

// What every settings dialog of the launcher shares: it edits one file through its file logic
// `File`, which lives from the dialog's creation to its destruction. Its opening (FormShow)
// reads the file, OK (sButton1, modal result OK) writes it, and "Отмена" (sButton2, modal
// result Cancel) and the close box write nothing. A new dialog is one unit deriving from
// SettingsDialog<Unit, File>: its layout table with those two buttons, its file logic and
// the handlers FormCreate, FormShow and sButton1Click that map one onto the other.

#include <optional>
#include <span>

#include "context.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"

namespace launcher {

template <class Unit, class File>
class SettingsDialog : public toolkit::Form {
  public:
    // Frees the file logic made at creation.
    void FormDestroy() { file_.reset(); }
    // Nothing is written. The button's Cancel result ends the showing already; close() ends
    // it with Cancel too, so the handler alone would close the dialog as well.
    void sButton2Click() { close(); }

    toolkit::Button& sButton1;
    toolkit::Button& sButton2;

  protected:
    SettingsDialog(Context& context, const toolkit::FormSpec& spec,
                   std::span<const toolkit::ControlSpec> controls)
        : Form(context.application, spec, controls),
          sButton1(get<toolkit::Button>("sButton1")),
          sButton2(get<toolkit::Button>("sButton2")),
          context_(context) {
        on_create = [this] { unit().FormCreate(); };
        on_show = [this] { unit().FormShow(); };
        on_destroy = [this] { FormDestroy(); };
        sButton1.on_click = [this] { unit().sButton1Click(); };
        sButton2.on_click = [this] { sButton2Click(); };
    }

    // For the unit's FormCreate.
    void make_file() { file_.emplace(); }
    // Between FormCreate and FormDestroy.
    File& file() { return *file_; }

    Context& context_;

  private:
    Unit& unit() { return static_cast<Unit&>(*this); }

    std::optional<File> file_;
};

}  // namespace launcher
