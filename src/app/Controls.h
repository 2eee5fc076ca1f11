#pragma once
// The main window's controls as plain state, so the core can hold all the
// window's logic and the Qt view only mirrors it. Texts are Windows-1252.
#include <cstdint>
#include <string>
#include <vector>

struct Control {
    bool Enabled = true;
    bool Visible = true;
    std::string Caption;
};

struct CheckControl : Control {
    bool Checked = false;
};

using MenuItem = CheckControl;

struct EditControl : Control {
    std::string Text;
    int MaxLength = 0;  // 0: no limit
};

// List box, combo box or memo: items plus the selected position (-1: none).
// Revision changes with every edit, so a view can skip unchanged lists.
struct ListControl : Control {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    std::uint64_t Revision = 0;

    void Clear() {
        Items.clear();
        ItemIndex = -1;
        ++Revision;
    }
    void Add(std::string item) {
        Items.push_back(std::move(item));
        ++Revision;
    }
    void Select(int index) {
        ItemIndex = index;
        ++Revision;
    }
    const std::string& SelectedText() const {
        static const std::string empty;
        return ItemIndex >= 0 && ItemIndex < static_cast<int>(Items.size()) ? Items[ItemIndex] : empty;
    }
};

struct RadioGroupControl : ListControl {};

// A tabbed notebook or page control: the page shown.
struct PageControl : Control {
    int PageIndex = 0;
};

// The adapter activity light: lime green while a driver session is open.
struct LightControl : Control {
    bool On = false;
};
