#pragma once

// The soak: the program's seven windows on the simulated adapter and controller, all on one
// stepped clock, taking a seeded stream of faults (unplug, replug, a silent controller, a
// controller that refuses everything, answers dropped for one command, a slow adapter) while
// the user reads, writes, restores, loads the memory with and without a password, edits in the
// main window and the dialogs, and opens and saves files. Then the faults stop, the link comes
// back and the soak checks that nothing the user did was lost without a word.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TSoakFigures {
    uint64_t seed = 0;
    int events = 0;
    std::map<std::string, int> byKind;  // events of each kind
    std::map<std::string, int> struckDuring; // operations a fault struck in the middle of
    int hangs = 0;                      // operations that outlasted every limit of the program
    int writesAcknowledged = 0;         // 0x21 the controller acknowledged
    int editsMade = 0;                  // edits that changed the working copy
    int editsChecked = 0;               // edits whose value was checked on the controller
    int unsentSeen = 0;                 // event ends with unsent edits: the caption had to say so
    int unsentQuestions = 0;            // questions after a reconnection's read
    int unsentNotices = 0;              // notices that the controller refused or did not confirm a change
    int settles = 0;                    // times the faults stopped and the controller was checked
    int unsentDeliveredAtEnd = 0;       // edited fields sent again at those reconnections
    int filesSaved = 0;                 // saves whose bytes were checked
    int fileErrors = 0;                 // file errors shown to the user
    int loadRefusals = 0;               // Load Memory given up after the controller's refusals
    int64_t simulatedMs = 0;
    double seconds = 0;                 // real time taken
    std::vector<std::string> longWaits; // operations that kept the clock over two minutes
    std::vector<std::string> failures;  // each names the seed and the event
};

class TSoak {
public:
    // `trace`: one line per event on standard error, to follow a failing seed.
    static TSoakFigures Run(int events, uint64_t seed, bool trace = false);
    // Telemetry at 20 frames/s through the whole program for `hours` of simulated time; the
    // resident memory after a warm-up and at the end, in kB.
    struct TMemoryFigures {
        int64_t frames = 0;
        long rssStartKb = 0, rssEndKb = 0, rssPeakKb = 0;
        double seconds = 0;
    };
    static TMemoryFigures Telemetry(double hours);
};
