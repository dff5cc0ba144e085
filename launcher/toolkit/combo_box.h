#pragma once

// A skinned drop-down list.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "toolkit/control.h"

namespace toolkit {

// A drop-down list to choose from (no typing), unsorted, drawn by the skin.
class ComboBox final : public Control {
  public:
    ComboBox(Form& form, const ControlSpec& spec, int id);
    ~ComboBox() override;
    void add_item(std::string_view text);
    int count() const;
    std::string item(int index) const;
    // -1 when nothing is selected.
    int item_index() const;
    // Set by the program: runs no handler; an index outside the items selects nothing.
    void set_item_index(int index);
    // Runs when the player changes the selection.
    std::function<void()> on_change;

  private:
    // The open list, skinned: private to the drop-down list.
    class OpenList;

    void created() override;
    void rescaled() override;
    void command(WORD code) override;
    void draw(const DRAWITEMSTRUCT& item) override;
    void measure(MEASUREITEMSTRUCT& item) override;
    std::optional<LRESULT> message(UINT msg, WPARAM wparam, LPARAM lparam) override;
    void paint_field(HDC dc);
    std::wstring wide_item(int index) const;
    struct ComboLook look() const;

    std::optional<COLORREF> face_;
    std::optional<COLORREF> text_;
    // In layout pixels; measure() gives them at the form's dots per inch.
    int item_height_;
    int field_height_;
    std::unique_ptr<OpenList> list_;
};

}  // namespace toolkit
