#include "network/TOOCSEvent.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/SysUtils.h"

const TEventProperty* TEventPropertyList::Find(const String& Name) const
{
    // Writers use the declared spelling; only other spellings pay for the
    // case-blind comparison.
    for (const TEventProperty& p : FItems)
        if (p.Name == Name)
            return &p;
    for (const TEventProperty& p : FItems)
        if (SameText(p.Name, Name))
            return &p;
    return nullptr;
}

TEventProperty& TEventPropertyList::Add(const char* Name, TEventPropertyType Type)
{
    if (Find(Name))
        throw EInvalidOperation(String("Property declared twice: ") + Name);
    TEventProperty p;
    p.Name = Name;
    p.Type = Type;
    FItems.push_back(std::move(p));
    return FItems.back();
}

void TTOOCSEvent::DeclareProperties(TEventPropertyList&) const {}

const TEventPropertyList& TTOOCSEvent::Properties() const
{
    // The list depends only on the class, so it is built from the first
    // instance that asks and kept for the life of the process.
    static std::mutex mutex;
    static std::map<const TClassInfo*, std::unique_ptr<TEventPropertyList>> lists;
    std::lock_guard<std::mutex> lock(mutex);
    auto& slot = lists[ClassInfo()];
    if (!slot) {
        auto list = std::make_unique<TEventPropertyList>();
        DeclareProperties(*list);
        slot = std::move(list);
    }
    return *slot;
}
