// Property values set as a user might set them on the sheet, at random,
// for the checks that save values and read them back.
#pragma once

#include <memory>
#include <random>
#include "plenar/records.h"
#include "plenar_sim/host.h"
#include "plenar_sim/host_values.h"

namespace plenar::cli {

// A random value for the entry `descriptor` describes, as the host's value
// object (a text or a number); null for an entry that holds no value of its
// own. Texts hold no ASCII letter, which a letter case rule would change;
// numbers stay in the entry's range, items among its items, colours among
// 0x00BBGGRR.
std::unique_ptr<sim::HostValue> random_property_value(const PropertyDescriptor& descriptor,
                                                      std::mt19937& random);

// The descriptors the plug-in gave the host's sheet, or null.
const PropertyDescriptor* descriptors_given(sim::Host& host);

}  // namespace plenar::cli
