#include "RecordingLog.h"
