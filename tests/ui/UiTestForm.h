#pragma once
// A small form of every standard control, shared by the routing, dialog and picture tests:
//   toolbar "bar" (top): button "new", separator, grouped Check buttons "left", "center",
//     "right" (group 1), Check "bold", combo "size" (editable, digits only by its handler);
//   panel "cell" (top, 24 high) with edit "text";
//   check box "flag", button "ok" (default), custom control "grid" (client).
#include <string>
#include <vector>

#include "ui/BasicControls.h"
#include "ui/ComboBox.h"
#include "ui/CustomControl.h"
#include "ui/Form.h"
#include "ui/ToolBar.h"

namespace uitest {

struct TestForm {
  explicit TestForm(uintptr_t parent = 0) : form(parent, "TestForm") {
    form.SetBounds(ui::Rect{0, 0, 320, 200});
    bar = &form.Add<ui::ToolBar>("bar");
    bar->SetAlign(ui::Align::Top);
    bar->AddButton("new").OnClick = [this] { log.push_back("new"); };
    bar->AddSeparator();
    for (const char* name : {"left", "center", "right"}) {
      ui::ToolButton& b = bar->AddButton(name, ui::ToolButtonStyle::Check);
      b.SetGroup(1);
      b.OnClick = [this, name] { log.push_back(name); };
    }
    bar->FindButton("left")->SetDown(true);
    bar->AddButton("bold", ui::ToolButtonStyle::Check).OnClick = [this] { log.push_back("bold"); };
    size = &bar->Add<ui::ComboBox>("size");
    size->SetBounds(ui::Rect{0, 0, 44, 21});
    size->SetItems({"8", "9", "10", "12", "20 "});
    size->SetText("8");
    size->OnKeyPress = [](char& c) {
      if (c < '0' || c > '9') c = 0;
    };
    size->OnChange = [this] { log.push_back("size=" + size->Text()); };
    bar->AddControl(*size);

    cell = &form.Add<ui::Panel>("cell");
    cell->SetAlign(ui::Align::Top);
    cell->SetBounds(ui::Rect{0, 0, 10, 24});
    text = &cell->Add<ui::Edit>("text");
    text->SetBounds(ui::Rect{60, 2, 300, 22});
    text->OnChange = [this] { log.push_back("text=" + text->Text()); };
    text->OnExit = [this] { log.push_back("exit text"); };

    flag = &form.Add<ui::CheckBox>("flag");
    flag->SetCaption("Flag");
    flag->SetBounds(ui::Rect{4, 60, 80, 76});
    flag->OnClick = [this] { log.push_back(flag->Checked() ? "flag on" : "flag off"); };
    ok = &form.Add<ui::Button>("ok");
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetBounds(ui::Rect{90, 56, 160, 80});
    ok->OnClick = [this] { log.push_back("ok"); };
    grid = &form.Add<ui::CustomControl>("grid");
    grid->SetBounds(ui::Rect{4, 84, 316, 196});
    grid->OnMouseDown = [this](const ui::MouseEvent& e) {
      grid->SetCapture();
      log.push_back("down " + std::to_string(e.pos.x) + "," + std::to_string(e.pos.y));
    };
    grid->OnMouseMove = [this](const ui::MouseEvent& e) {
      if (grid->HasCapture())
        log.push_back("move " + std::to_string(e.pos.x) + "," + std::to_string(e.pos.y));
    };
    grid->OnMouseUp = [this](const ui::MouseEvent& e) {
      grid->ReleaseCapture();
      log.push_back("up " + std::to_string(e.pos.x) + "," + std::to_string(e.pos.y));
    };
    grid->OnDblClick = [this](const ui::MouseEvent&) { log.push_back("dbl"); };
    grid->OnKeyDown = [this](int& key, ui::ShiftState) {
      log.push_back("key " + std::to_string(key));
    };
  }

  // Centre of a control or toolbar button in form coordinates.
  ui::Point Centre(const ui::Control& c) const {
    ui::Point origin = c.ToForm(ui::Point{0, 0});
    return ui::Point{origin.x + c.Width() / 2, origin.y + c.Height() / 2};
  }
  ui::Point Centre(const ui::ToolButton& b) const {
    ui::Point origin = bar->ToForm(ui::Point{0, 0});
    return ui::Point{origin.x + (b.Bounds().left + b.Bounds().right) / 2,
                     origin.y + (b.Bounds().top + b.Bounds().bottom) / 2};
  }

  ui::Form form;
  ui::ToolBar* bar = nullptr;
  ui::ComboBox* size = nullptr;
  ui::Panel* cell = nullptr;
  ui::Edit* text = nullptr;
  ui::CheckBox* flag = nullptr;
  ui::Button* ok = nullptr;
  ui::CustomControl* grid = nullptr;
  std::vector<std::string> log;
};

}  // namespace uitest
