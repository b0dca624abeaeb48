#include "simulator/sky_catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace talvor {
namespace {

struct KnownObject {
    int number;
    const char* kind;
    int raHours;
    double raMinutes;
    int decDegrees;  // with the sign of the declination; -0 is not needed here
    int decMinutes;
    double magnitude;
};

// Messier objects at their J2000 positions, rounded to a tenth of a minute.
constexpr KnownObject kMessier[] = {
    {1, "Nebula", 5, 34.5, 22, 1, 8.4},       {2, "Globular", 21, 33.5, 0, -49, 6.5},
    {3, "Globular", 13, 42.2, 28, 23, 6.2},   {4, "Globular", 16, 23.6, -26, 32, 5.6},
    {5, "Globular", 15, 18.6, 2, 5, 5.6},     {6, "Open", 17, 40.1, -32, 13, 4.2},
    {7, "Open", 17, 53.9, -34, 49, 3.3},      {8, "Nebula", 18, 3.8, -24, 23, 6.0},
    {11, "Open", 18, 51.1, -6, 16, 6.3},      {13, "Globular", 16, 41.7, 36, 28, 5.8},
    {15, "Globular", 21, 30.0, 12, 10, 6.2},  {16, "Nebula", 18, 18.8, -13, 47, 6.0},
    {17, "Nebula", 18, 20.8, -16, 11, 6.0},   {20, "Nebula", 18, 2.6, -23, 2, 6.3},
    {22, "Globular", 18, 36.4, -23, 54, 5.1}, {27, "Planetary", 19, 59.6, 22, 43, 7.4},
    {31, "Galaxy", 0, 42.7, 41, 16, 3.4},     {32, "Galaxy", 0, 42.7, 40, 52, 8.1},
    {33, "Galaxy", 1, 33.9, 30, 39, 5.7},     {35, "Open", 6, 8.9, 24, 20, 5.3},
    {39, "Open", 21, 32.2, 48, 26, 4.6},      {42, "Nebula", 5, 35.4, -5, 27, 4.0},
    {44, "Open", 8, 40.1, 19, 59, 3.7},       {45, "Open", 3, 47.0, 24, 7, 1.6},
    {51, "Galaxy", 13, 29.9, 47, 12, 8.4},    {52, "Open", 23, 24.2, 61, 35, 7.3},
    {57, "Planetary", 18, 53.6, 33, 2, 8.8},  {63, "Galaxy", 13, 15.8, 42, 2, 8.6},
    {64, "Galaxy", 12, 56.7, 21, 41, 8.5},    {81, "Galaxy", 9, 55.6, 69, 4, 6.9},
    {82, "Galaxy", 9, 55.8, 69, 41, 8.4},     {87, "Galaxy", 12, 30.8, 12, 23, 8.6},
    {92, "Globular", 17, 17.1, 43, 8, 6.4},   {97, "Planetary", 11, 14.8, 55, 1, 9.9},
    {101, "Galaxy", 14, 3.2, 54, 21, 7.9},    {103, "Open", 1, 33.2, 60, 42, 7.4},
    {104, "Galaxy", 12, 40.0, -11, 37, 8.0},  {110, "Galaxy", 0, 40.4, 41, 41, 8.5},
};

struct Planet {
    int number;
    const char* name;
    double raHours;
    double decDegrees;
    double magnitude;
};

constexpr Planet kPlanets[] = {
    {901, "Mercury", 1.2, 5.0, 0.2},   {902, "Venus", 3.1, 18.0, -4.1},
    {904, "Mars", 6.4, 24.0, 1.1},     {905, "Jupiter", 4.2, 20.5, -2.2},
    {906, "Saturn", 22.4, -11.5, 0.8}, {907, "Uranus", 3.3, 18.2, 5.7},
    {908, "Neptune", 23.6, -4.8, 7.8}, {909, "Pluto", 20.1, -22.9, 14.4},
};

SkyObject KnownToSky(const KnownObject& known) {
    // A negative minute value carries the sign when the degrees are 0.
    const double degrees = std::abs(known.decDegrees) + std::abs(known.decMinutes) / 60.0;
    const bool south = known.decDegrees < 0 || known.decMinutes < 0;
    return {"M" + std::to_string(known.number), known.kind, known.raHours + known.raMinutes / 60.0,
            south ? -degrees : degrees, known.magnitude};
}

// Spreads numbered objects over the sky north of -40 degrees without a table.
SkyObject Placed(std::string name, const char* kind, int number, double magnitude) {
    const double raHours = std::fmod(number * 7.3131, 24.0);
    const double decDegrees = -40 + std::fmod(number * 37.77, 120.0);
    return {std::move(name), kind, raHours, decDegrees, magnitude};
}

}  // namespace

std::optional<SkyObject> FindCatalogueObject(char kind, int number) {
    if (kind == 'm') {
        if (number < 1 || number > 110) {
            return std::nullopt;
        }
        for (const KnownObject& known : kMessier) {
            if (known.number == number) {
                return KnownToSky(known);
            }
        }
        return Placed("M" + std::to_string(number), "Object", number, 8.0);
    }
    if (kind == 's') {
        for (const Planet& planet : kPlanets) {
            if (planet.number == number) {
                return SkyObject{planet.name, "Planet", planet.raHours, planet.decDegrees,
                                 planet.magnitude};
            }
        }
        if (number < 1 || number > 351) {
            return std::nullopt;
        }
        return Placed("Star " + std::to_string(number), "Star", number, 3.0);
    }
    if (number < 1 || number > 7840) {
        return std::nullopt;
    }
    return Placed("CNGC" + std::to_string(number), "Object", number, 11.0);
}

std::string DescribeObject(const SkyObject& object) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %s mag %.1f", object.name.c_str(), object.kind.c_str(),
                  object.magnitude);
    return std::string(text).substr(0, 31);
}

}  // namespace talvor
