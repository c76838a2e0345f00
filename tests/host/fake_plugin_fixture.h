// Each case gets its own host and its own copy of the test plug-in, loaded
// from a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <memory>
#include "plenar_sim/sim.h"

class FakePluginTest : public testing::Test {
protected:
    FakePluginTest();

    plenar::sim::Interception& intercepted = plenar::sim::Interception::instance();
    plenar::sim::TempFolder folder;  // outlives the plug-in loaded from it
    plenar::sim::Host host;
    std::unique_ptr<plenar::sim::Plugin> plugin;
};
