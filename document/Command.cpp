#include "Command.h"

bool CCommand::Execute() { return true; }
