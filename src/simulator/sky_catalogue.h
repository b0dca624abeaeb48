#pragma once

#include <optional>
#include <string>

namespace talvor {

// An object the simulated mount can be sent to.
struct SkyObject {
    std::string name;  // "M31", "CNGC7000", "Jupiter", "Star 12"
    std::string kind;  // "Galaxy", "Planet", ...
    double raHours = 0;
    double decDegrees = 0;
    double magnitude = 0;
};

// The simulated mount's catalogues: kind 'm' Messier 1..110, 's' star numbers 1..351 and the
// planets 901..909 (903 is the Earth, which is not there), any other kind CNGC 1..7840. The
// well-known objects stand where they are in the sky; the rest are placed evenly but
// deterministically, as a simulator may.
std::optional<SkyObject> FindCatalogueObject(char kind, int number);

// What the mount says about an object: name, kind and magnitude, at most 31 characters.
std::string DescribeObject(const SkyObject& object);

}  // namespace talvor
