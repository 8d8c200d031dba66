// One event as kelpa_next_event delivers it, comparable and printable, for tests that check
// a sequence of events (recorded, played back, or live).
#pragma once

#include "kelpa.h"

#include <ostream>

struct DeliveredEvent {
    int kind;
    int x;
    int y;
    char key;
};

inline bool operator==(const DeliveredEvent &a, const DeliveredEvent &b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.key == b.key;
}

inline std::ostream &operator<<(std::ostream &os, const DeliveredEvent &e) {
    return os << "{kind " << e.kind << ", " << e.x << ", " << e.y << ", key " << int(e.key) << "}";
}

// The next event, however long the library takes to deliver it.
inline DeliveredEvent next_delivered_event() {
    DeliveredEvent e = {};
    e.kind = kelpa_next_event(e.x, e.y, e.key);
    return e;
}
