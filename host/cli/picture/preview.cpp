#include "preview.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include "bitmap_font.h"

namespace plenar::cli {
namespace {

// The look of the picture, in one place.
constexpr int margin = 16, gap = 16, padding = 8, title_bar = 18, row = 16, separator_row = 8,
              indent = 14, menu_gutter = 20, icon_scale = 8, checker_cell = 4, check_box = 9,
              swatch_width = 24, most_columns = 48;
constexpr uint32_t background = 0xFFE8E8E8, panel_colour = 0xFFFFFFFF, border = 0xFF9A9A9A,
                   title_colour = 0xFFD4DCE6, ink = 0xFF1A1A1A, faint_ink = 0xFF8A8A8A,
                   rule = 0xFFE0E0E0, menu_border = 0xFF979797, shadow = 0x40000000,
                   title_cell = 0xFFF3F3F3, folder_band = 0xFFE2E8F0, highlight = 0xFF3875D7,
                   highlight_ink = 0xFFFFFFFF, checker_light = 0xFFFFFFFF,
                   checker_dark = 0xFFC8C8C8;

// Something drawn at a place chosen after its size is known.
struct Content {
    int width = 0, height = 0;
    std::function<void(Canvas&, int left, int top)> draw;
};

int fitted_width(std::string_view text) { return text_width(fitted(text, most_columns)); }

void bold_text(Canvas& canvas, int left, int top, std::string_view text, uint32_t colour) {
    canvas.text(left, top, text, colour);
    canvas.text(left + 1, top, text, colour);
}

// The text centred in a row of `row` pixels.
int text_top(int row_top) { return row_top + (row - font::line_height) / 2 + 1; }

Content note(std::string text) {
    return {text_width(text), row, [text](Canvas& canvas, int left, int top) {
                canvas.text(left, text_top(top), text, faint_ink);
            }};
}

Content image_content(const Image& image, int scale, bool checkered) {
    return {image.width * scale, image.height * scale,
            [&image, scale, checkered](Canvas& canvas, int left, int top) {
                for (int y = 0; y < image.height * scale; ++y)
                    for (int x = 0; x < image.width * scale; ++x) {
                        const uint32_t under = !checkered ? panel_colour
                                               : ((x / checker_cell + y / checker_cell) % 2)
                                                   ? checker_dark
                                                   : checker_light;
                        const uint32_t pixel =
                            image.pixels[static_cast<size_t>(y / scale) * image.width + x / scale];
                        canvas.put(left + x, top + y, blend(pixel, under));
                    }
            }};
}

void draw_check_box(Canvas& canvas, int left, int row_top, bool checked) {
    const Box box{left, row_top + (row - check_box) / 2, check_box, check_box};
    canvas.fill(box, panel_colour);
    canvas.frame(box, ink);
    if (!checked) return;
    // A tick: down from the left, then up to the right.
    for (int i = 0; i < 2; ++i) {
        canvas.put(box.left + 2 + i, box.top + 4 + i, ink);
        canvas.put(box.left + 2 + i, box.top + 5 + i, ink);
    }
    for (int i = 0; i < 4; ++i) {
        canvas.put(box.left + 4 + i, box.top + 5 - i, ink);
        canvas.put(box.left + 4 + i, box.top + 6 - i, ink);
    }
}

// The menus: a popup menu box, sub-menus opened below their item, indented.
struct FlatLine {
    const MenuLine* line;
    int depth;
};

void flatten(const std::vector<MenuLine>& lines, int depth, std::vector<FlatLine>& flat) {
    for (const MenuLine& line : lines) {
        flat.push_back({&line, depth});
        if (line.kind == MenuLine::Kind::popup) flatten(line.items, depth + 1, flat);
    }
}

int menu_line_height(const MenuLine& line) {
    return line.kind == MenuLine::Kind::separator ? separator_row : row;
}

Content menu_content(const MenuPreview& menu) {
    if (menu.absent) return note(*menu.absent);
    if (menu.items.empty()) return note("(empty)");
    auto flat = std::make_shared<std::vector<FlatLine>>();
    flatten(menu.items, 0, *flat);
    int width = 0, height = 2;
    for (const FlatLine& f : *flat) {
        const int arrow = f.line->kind == MenuLine::Kind::popup ? 2 * font::advance : 0;
        width =
            std::max(width, menu_gutter + f.depth * indent + fitted_width(f.line->text) + arrow);
        height += menu_line_height(*f.line);
    }
    width += menu_gutter;
    return {width + 2, height + 2, [flat, width, height](Canvas& canvas, int left, int top) {
                const Box box{left, top, width, height};
                canvas.fill({left + 2, top + 2, width, height}, shadow);
                canvas.fill(box, panel_colour);
                canvas.frame(box, menu_border);
                int y = top + 1;
                for (const FlatLine& f : *flat) {
                    const int x = left + menu_gutter + f.depth * indent;
                    const MenuLine& line = *f.line;
                    if (line.kind == MenuLine::Kind::separator) {
                        canvas.fill(
                            {x - menu_gutter / 2, y + separator_row / 2, box.right() - x, 1}, rule);
                    } else {
                        canvas.text(x, text_top(y), fitted(line.text, most_columns),
                                    line.greyed ? faint_ink : ink);
                        if (line.kind == MenuLine::Kind::popup)
                            canvas.text(box.right() - 2 * font::advance, text_top(y), ">", ink);
                    }
                    y += menu_line_height(line);
                }
            }};
}

// The sheet: a title column and a value column; folders as bands whose
// entries are indented; an open Combo Box list under its entry.
struct SheetLine {
    const SheetRow* entry;
    int depth;
};

std::string colour_text(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

uint32_t opaque_from_windows(uint32_t colour) {
    return 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

int value_width(const SheetRow& entry) {
    if (entry.check_value) return check_box;
    if (entry.colour) return swatch_width + font::advance + text_width(colour_text(*entry.colour));
    int width = fitted_width(entry.value);
    for (const std::string& choice : entry.choices)
        width = std::max(width, fitted_width(choice) + padding);
    return width + (entry.choices.empty() ? 0 : 3 * font::advance);
}

int sheet_line_height(const SheetRow& entry) {
    return row * (1 + static_cast<int>(entry.choices.size())) + (entry.choices.empty() ? 0 : 4);
}

void draw_value(Canvas& canvas, const SheetRow& entry, int left, int top, int width) {
    if (entry.check_value) return draw_check_box(canvas, left, top, entry.checked);
    if (entry.colour) {
        const Box swatch{left, top + 3, swatch_width, row - 6};
        canvas.fill(swatch, opaque_from_windows(*entry.colour));
        canvas.frame(swatch, ink);
        canvas.text(swatch.right() + font::advance, text_top(top), colour_text(*entry.colour), ink);
        return;
    }
    canvas.text(left, text_top(top), fitted(entry.value, most_columns), ink);
    if (entry.choices.empty()) return;
    const Box button{left + width - 2 * font::advance, top + 2, 2 * font::advance, row - 4};
    canvas.frame(button, border);
    canvas.text(button.left + font::advance / 2, text_top(top) - 1, "v", ink);
    const Box list{left, top + row, width, row * static_cast<int>(entry.choices.size()) + 2};
    canvas.fill(list, panel_colour);
    canvas.frame(list, border);
    for (size_t i = 0; i < entry.choices.size(); ++i) {
        const int y = list.top + 1 + row * static_cast<int>(i);
        const bool chosen = static_cast<int>(i) == entry.chosen;
        if (chosen) canvas.fill({list.left + 1, y, list.width - 2, row}, highlight);
        canvas.text(list.left + padding / 2, text_top(y), fitted(entry.choices[i], most_columns),
                    chosen ? highlight_ink : ink);
    }
}

Content sheet_content(const std::optional<std::vector<SheetRow>>& sheet) {
    if (!sheet) return note("(no sheet)");
    if (sheet->empty()) return note("(no properties)");
    auto lines = std::make_shared<std::vector<SheetLine>>();
    int depth = 0, titles = 0, values = 0, height = 0;
    for (const SheetRow& entry : *sheet) {
        if (entry.kind == SheetRow::Kind::folder_end) {
            depth = std::max(0, depth - 1);
            continue;
        }
        lines->push_back({&entry, depth});
        const int check = entry.checkable && !entry.check_value ? check_box + 4 : 0;
        titles = std::max(titles, depth * indent + check + fitted_width(entry.title));
        if (entry.kind == SheetRow::Kind::folder)
            ++depth;
        else
            values = std::max(values, value_width(entry));
        height += entry.kind == SheetRow::Kind::folder ? row : sheet_line_height(entry);
    }
    titles += 2 * padding;
    values += 2 * padding;
    return {titles + values, height, [lines, titles, values](Canvas& canvas, int left, int top) {
                int y = top;
                for (const auto& [entry, depth] : *lines) {
                    const int x = left + padding / 2 + depth * indent;
                    if (entry->kind == SheetRow::Kind::folder) {
                        canvas.fill({left, y, titles + values, row}, folder_band);
                        bold_text(canvas, x, text_top(y), "- " + fitted(entry->title, most_columns),
                                  ink);
                        y += row;
                        continue;
                    }
                    canvas.fill({left, y, titles, row}, title_cell);
                    int title_x = x;
                    if (entry->checkable && !entry->check_value) {
                        draw_check_box(canvas, x, y, entry->checked);
                        title_x += check_box + 4;
                    }
                    canvas.text(title_x, text_top(y), fitted(entry->title, most_columns), ink);
                    canvas.fill({left + titles, y, 1, row}, rule);
                    draw_value(canvas, *entry, left + titles + padding, y, values - 2 * padding);
                    y += sheet_line_height(*entry);
                    canvas.fill({left, y - 1, titles + values, 1}, rule);
                }
            }};
}

// The display strings, a heading a family, each string's prompts below it.
Content strings_content(const Preview& preview) {
    static const char* const headings[] = {"Actions", "Conditions", "Expressions"};
    struct Line {
        std::string text;
        int depth;
        uint32_t colour;
        bool bold;
    };
    auto lines = std::make_shared<std::vector<Line>>();
    for (size_t family = 0; family < preview.records.size(); ++family) {
        lines->push_back({headings[family], 0, ink, true});
        const auto& records = preview.records[family];
        if (!records)
            lines->push_back({"(not read)", 1, faint_ink, false});
        else if (records->empty())
            lines->push_back({"none", 1, faint_ink, false});
        for (const RecordLine& record : records ? *records : std::vector<RecordLine>{}) {
            lines->push_back({std::to_string(record.id) + "  " + record.text, 1, ink, false});
            for (const std::string& prompt : record.prompts)
                lines->push_back({prompt, 2, faint_ink, false});
        }
    }
    int width = 0;
    for (const Line& line : *lines)
        width = std::max(width, line.depth * indent + fitted_width(line.text));
    return {width, row * static_cast<int>(lines->size()),
            [lines](Canvas& canvas, int left, int top) {
                int y = top;
                for (const Line& line : *lines) {
                    const std::string text = fitted(line.text, most_columns);
                    const int x = left + line.depth * indent;
                    if (line.bold)
                        bold_text(canvas, x, text_top(y), text, line.colour);
                    else
                        canvas.text(x, text_top(y), text, line.colour);
                    y += row;
                }
            }};
}

struct TitledContent {
    std::string title;
    Content content;
};

// Panels stacked in a column of one width; returns the column's height.
int draw_column(Canvas* canvas, std::vector<Panel>* panels, int left, int top,
                const std::vector<TitledContent>& column, int width) {
    int y = top;
    for (const TitledContent& item : column) {
        const Box box{left, y, width, title_bar + item.content.height + 2 * padding};
        if (canvas) {
            canvas->fill(box, panel_colour);
            canvas->fill({box.left, box.top, box.width, title_bar}, title_colour);
            canvas->frame(box, border);
            bold_text(*canvas, box.left + padding,
                      box.top + (title_bar - font::line_height) / 2 + 1, item.title, ink);
            item.content.draw(*canvas, box.left + padding, box.top + title_bar + padding);
            panels->push_back({item.title, box});
        }
        y = box.bottom() + gap;
    }
    return y - gap - top;
}

int column_width(const std::vector<TitledContent>& column) {
    int width = 0;
    for (const TitledContent& item : column)
        width = std::max({width, item.content.width, text_width(item.title) + 1});
    return width + 2 * padding;
}

}  // namespace

Picture draw_preview(const Preview& preview) {
    std::vector<std::vector<TitledContent>> columns(4);
    columns[0].push_back({"Icon", preview.icon ? image_content(*preview.icon, icon_scale, true)
                                               : note("(no icon)")});
    columns[0].push_back({"Frame editor", preview.drawing
                                              ? image_content(*preview.drawing, 1, false)
                                              : note("(no drawing)")});
    for (const MenuPreview& menu : preview.menus)
        columns[1].push_back({menu.title, menu_content(menu)});
    columns[2].push_back({"Property sheet", sheet_content(preview.sheet)});
    columns[3].push_back({"Display strings", strings_content(preview)});

    const int heading = font::line_height + gap;
    int width = margin - gap, height = 0;
    std::vector<int> widths;
    for (const auto& column : columns) {
        widths.push_back(column_width(column));
        width += gap + widths.back();
        height = std::max(height, draw_column(nullptr, nullptr, 0, 0, column, widths.back()));
    }
    width = std::max(width + margin, 2 * margin + text_width(preview.name) + 1);
    Picture picture{Canvas(width, margin + heading + height + margin, background), {}};
    bold_text(picture.canvas, margin, margin, preview.name, ink);
    int left = margin;
    for (size_t i = 0; i < columns.size(); ++i) {
        draw_column(&picture.canvas, &picture.panels, left, margin + heading, columns[i],
                    widths[i]);
        left += widths[i] + gap;
    }
    return picture;
}

}  // namespace plenar::cli
