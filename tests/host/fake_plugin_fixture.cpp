#include "fake_plugin_fixture.h"

using namespace plenar::sim;

FakePluginTest::FakePluginTest() {
    intercepted.clear();
    plugin = std::make_unique<Plugin>(folder.place_copy(program_folder() + L"\\fake_plugin.pvx"));
}
