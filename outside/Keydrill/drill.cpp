// The rules of the drill: each character against the next one of the line.
#include "keydrill_int.h"

bool Drill_Done(const Drill &d) { return d.line >= (int)d.lines.size(); }

void Drill_Restart(Drill *d) {
    d->line = d->column = d->typed = d->misses = 0;
    d->lastMissed = false;
}

int Drill_Accuracy(const Drill &d) {
    int keys = d.typed + d.misses;
    return keys ? d.typed * 100 / keys : 100;
}

DrillStep Drill_Type(Drill *d, char c) {
    if (Drill_Done(*d)) {
        if (c != '\r') return DrillStep::Ignored;
        Drill_Restart(d);
        return DrillStep::Restarted;
    }
    if ((unsigned char)c < 0x20 || c == 0x7F) return DrillStep::Ignored;
    const std::string &text = d->lines[d->line];
    if (c != text[d->column]) {
        d->misses++;
        d->lastMissed = true;
        return DrillStep::Missed;
    }
    d->typed++;
    d->lastMissed = false;
    if (++d->column < (int)text.size()) return DrillStep::Taken;
    d->column = 0;
    d->line++;
    return Drill_Done(*d) ? DrillStep::Finished : DrillStep::LineDone;
}
