// A file of the panel layer for the include check's own test: lines 5 and 6
// break the layer rule, the others keep it.
#include "panel/playback.h"
#include "protocol/messages.h"
#include "comm/send_data.h"
#include "scratch/notes.h"
#include "units/timer.h"
#include "platform/version.h"
#include <vector>
