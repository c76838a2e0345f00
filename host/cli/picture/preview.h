// What the --png picture shows of an object, gathered by show's sections
// from the plug-in's exports as they run, and its drawing: the icon and the
// frame-editor drawing, the three editor menus as popup menus, the property
// sheet as first opened, and every display string with sample parameters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "canvas.h"

namespace plenar::cli {

struct MenuLine {
    enum class Kind { item, separator, popup };
    Kind kind = Kind::item;
    std::string text;
    bool greyed = false;
    std::vector<MenuLine> items;  // a popup's
};

struct MenuPreview {
    std::string title;                  // "Action menu"
    std::optional<std::string> absent;  // why no menu is shown ("no menu", "not exported")
    std::vector<MenuLine> items;
};

struct SheetRow {
    enum class Kind { entry, folder, folder_end };
    Kind kind = Kind::entry;
    std::string title;
    std::string value;  // as the sheet shows it; empty for none
    bool checkable = false, checked = false;
    bool check_value = false;          // the value is the check box itself
    std::vector<std::string> choices;  // a Combo Box's items
    int chosen = -1;
    std::optional<uint32_t> colour;  // 0x00BBGGRR, a Windows colour
};

struct RecordLine {
    int id = 0;
    std::string text;                  // the display string, samples in place of %N
    std::vector<std::string> prompts;  // "%0 Prompt: sample"
};

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, row-major
};

struct Preview {
    std::string name;  // the object's, for the heading
    std::optional<Image> icon, drawing;
    std::array<MenuPreview, 3> menus{MenuPreview{"Action menu", {}, {}},
                                     MenuPreview{"Condition menu", {}, {}},
                                     MenuPreview{"Expression menu", {}, {}}};
    std::optional<std::vector<SheetRow>> sheet;
    std::array<std::optional<std::vector<RecordLine>>, 3>
        records;  // actions, conditions, expressions
};

// A titled area of the picture, for the report and for tests.
struct Panel {
    std::string title;
    Box box;
};

struct Picture {
    Canvas canvas;
    std::vector<Panel> panels;
};

Picture draw_preview(const Preview& preview);

}  // namespace plenar::cli
