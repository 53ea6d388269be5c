#include "mml/piano.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "state/spaced.h"
#include "state/table.h"

namespace tsuzuri {

namespace {

constexpr int kWhiteKeyPitch = 390;  // left of one white key to the next
constexpr KeyRect kWhiteKeySize{0, 0, 375, 1590};
constexpr KeyRect kBlackKeySize{0, 0, 255, 975};

struct BlackKeyPlace {
    int key;
    int left;
};
// The black keys' lefts are placed by hand, not on a strict grid.
constexpr std::array<BlackKeyPlace, 24> kBlackKeys = {{
    {1, 240},   {3, 630},    {6, 1440},   {8, 1830},   {10, 2220},  {13, 2970},
    {15, 3360}, {18, 4170},  {20, 4560},  {22, 4950},  {25, 5700},  {27, 6090},
    {30, 6870}, {32, 7260},  {34, 7650},  {37, 8430},  {39, 8820},  {42, 9600},
    {44, 9990}, {46, 10380}, {49, 11160}, {51, 11580}, {54, 12330}, {56, 12720},
}};

struct Zone {
    int below;  // twips: the zone holds offsets under this bound
    std::string_view length;
};
constexpr std::array<Zone, 6> kWhiteZones = {
    {{120, "64"}, {420, "32"}, {720, "16"}, {960, "8."}, {1200, "8"}, {1440, "4"}}};
constexpr std::array<Zone, 3> kBlackZones = {{{120, "16"}, {420, "8"}, {720, "4"}}};
constexpr std::string_view kDeepestLength = "2";
constexpr int kWhiteTableAbove = 70;  // pixels

void checkKey(int key) {
    if (key < 0 || key >= kPianoKeyCount)
        indexFault(key, kPianoKeyCount);
}

int whiteKeysBelow(int key) {
    int count = 0;
    for (int k = 0; k < key; ++k)
        count += isBlackKey(k) ? 0 : 1;
    return count;
}

template <std::size_t N>
std::string_view zoneOf(const std::array<Zone, N>& zones, double y) {
    for (const Zone& z : zones) {
        if (y < z.below)
            return z.length;
    }
    return kDeepestLength;
}

// A click offset as the read-out writes it: a space before non-negative
// numbers, whole numbers without a fraction.
std::string offsetText(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e9)
        return spaced(static_cast<long>(v));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%.7g", v >= 0 ? " " : "", v);
    return buf;
}

}  // namespace

bool isBlackKey(int key) {
    checkKey(key);
    switch (key % 12) {
        case 1:
        case 3:
        case 6:
        case 8:
        case 10:
            return true;
        default:
            return false;
    }
}

int keyPitch(int key) {
    checkKey(key);
    return key + kLowestKeyPitch;
}

KeyRect keyRect(int key) {
    if (!isBlackKey(key)) {
        KeyRect r = kWhiteKeySize;
        r.left = kWhiteKeyPitch * whiteKeysBelow(key);
        return r;
    }
    for (const BlackKeyPlace& b : kBlackKeys) {
        if (b.key == key) {
            KeyRect r = kBlackKeySize;
            r.left = b.left;
            return r;
        }
    }
    indexFault(key, kPianoKeyCount);  // every black key is in the list
}

int keyHeightPixels(int key) {
    return keyRect(key).height / kTwipsPerPixel;
}

std::string_view zoneLength(double y, int keyHeightPixels) {
    if (keyHeightPixels > kWhiteTableAbove)
        return zoneOf(kWhiteZones, y);
    return zoneOf(kBlackZones, y);
}

std::string pitchNameOf(int pitch) {
    static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                           "F#", "G",  "G#", "A",  "A#", "B"};
    return "O" + std::to_string(pitch / 12 - 1) + kNames[static_cast<std::size_t>(pitch % 12)];
}

KeyPress pressKey(int key, double x, double y) {
    KeyPress press;
    press.pitch = keyPitch(key);
    press.readout = offsetText(x) + offsetText(y);
    press.noteText = pitchNameOf(press.pitch) + std::string(zoneLength(y, keyHeightPixels(key)));
    return press;
}

}  // namespace tsuzuri
