#include "ScriptedDialogs.h"
