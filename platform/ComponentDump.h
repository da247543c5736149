#pragma once
// A text picture of a component tree for tests: one line
// "Path.Property=Value" per property, where Path is the chain of names from
// the root (unnamed components appear as "#index").
#include <functional>
#include <utility>
#include <vector>

#include "platform/Classes.h"

String DumpComponents(TComponent* Root);

// The properties dumped for one component, in order.
class TDumpProperties {
public:
    // Replaces the value of Name where it stands, or adds Name at the end.
    void Set(const String& Name, const String& Value);
    void Remove(const String& Name);
    // Null when Name is not there.
    const String* Find(const String& Name) const;
    const std::vector<std::pair<String, String>>& Items() const { return FItems; }

private:
    std::vector<std::pair<String, String>> FItems;
};

// A class's part in the dump: adds properties or replaces the ones the
// platform (or an ancestor's hook) put there. It serves the class and every
// descendant; an ancestor's hook runs before a descendant's. Registering
// again for a class replaces its hook; an empty hook removes it.
using TDumpHook = std::function<void(TComponent* Component, TDumpProperties& Properties)>;
void RegisterDumpHook(TClass Cls, TDumpHook Hook);
