// The sections of plenar-host show beyond the library itself: what the host
// sees of the object through its exports, one group of sections per file.
// They share one ShowState, which follows a single instance from its edit
// data through a run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "picture/preview.h"
#include "plenar/exports.h"
#include "plenar_sim/sim.h"

namespace plenar::cli {

struct ShowState {
    ShowState(sim::Plugin& p, sim::Host& h) : plugin(p), host(h) {}

    sim::Plugin& plugin;
    sim::Host& host;
    RunObjectInfo info{};
    bool have_info = false;
    void* edit_data = nullptr;  // the instance's block; the host may move it
    Rect object_rect{};         // where the instance stands in the frame editor
    bool have_rect = false;
    Surface icon;  // the host's icon surface, filled by MakeIconEx
    bool have_icon = false;
    Rect drawn{};  // the editor-surface pixels EditorDisplay touched
    bool have_drawing = false;
    size_t message_boxes_seen = 0;  // message boxes already reported
    size_t service_calls_seen = 0;  // service calls already followed for moves
    Preview preview;                // what the --png picture shows, gathered on the way
};

void show_description(ShowState& state);
void show_object_information(ShowState& state);
void show_run_object_information(ShowState& state);
void show_editor_object(ShowState& state);
void show_records(ShowState& state);
void show_menus(ShowState& state);
void show_properties(ShowState& state);
void show_icon_surface(ShowState& state);
void show_editor_drawing(ShowState& state);
void show_run(ShowState& state);
void write_picture(ShowState& state, const std::wstring& path);  // the --png file

// Shared by the sections.
bool exported(const ShowState& state, std::string_view name);  // prints "NAME: missing" if not
void report_message_boxes(ShowState& state, int depth = 1);    // those raised since the last report
void follow_edit_data(ShowState& state);                       // takes up a block the host moved
std::string wide_text(const void* text);    // UTF-8 of a UTF-16 text, "" for null
std::string quoted_wide(const void* text);  // quoted, or (null)
std::string pixel_colour(uint32_t pixel);   // "#RRGGBB" (alpha when not opaque)
std::string padded(std::string text, size_t width);

// The sample parameters a record's codes are given, in the run and in the
// picture's display strings: numbers 2, 3, 4, ...; texts "sample". Float
// parameters cannot be told apart from integers by the host, so numbers are
// always integers.
enum class RoutineKind { action, condition, expression };
struct Sample {
    bool text;
    uint32_t number;
};
std::vector<Sample> samples_for(const AceRecord* record, RoutineKind kind);
std::string sample_text(const Sample& sample);  // 2, or "sample"

}  // namespace plenar::cli
