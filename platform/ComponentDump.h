#pragma once
// A text picture of a component tree for tests: one line
// "Path.Property=Value" per property, where Path is the chain of names from
// the root (unnamed components appear as "#index").
#include "platform/Classes.h"

String DumpComponents(TComponent* Root);
