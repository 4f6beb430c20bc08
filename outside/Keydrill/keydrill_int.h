// The typing drill's state and its rules, apart from its window.
#ifndef KEYDRILL_INT_H
#define KEYDRILL_INT_H

#include <string>
#include <vector>

struct Drill {
    std::vector<std::string> lines;  // the texts to type
    int line = 0;                    // current line; lines.size() when done
    int column = 0;                  // characters of the current line typed
    int typed = 0, misses = 0;
    bool lastMissed = false;         // the last key was a miss
};

enum class DrillStep { Ignored, Taken, Missed, LineDone, Finished, Restarted };

// Takes one typed character (as WM_CHAR gives it).
DrillStep Drill_Type(Drill *d, char c);
void Drill_Restart(Drill *d);
bool Drill_Done(const Drill &d);
// Whole percent of keys that were right; 100 before any key.
int Drill_Accuracy(const Drill &d);

#endif
