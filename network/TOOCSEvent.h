#pragma once
// Events that travel between a server and its clients. An event is a
// component with a list of published properties and a Perform; the transport
// streams the properties, the receiver rebuilds the object by its registered
// class name (RegisterClass) and hands it to the application.
//
// Each event class declares its published properties in DeclareProperties:
// first the inherited ones (call the base class's DeclareProperties), then its
// own, in declaration order. The stream writes and reads them in that order.
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"
#include "platform/Types.h"

class TTOOCSEvent;

enum TEventPropertyType {
    ptInteger,      // 32-bit, always written
    ptInt64,        // written unless 0
    ptEnumeration,  // always written, as its identifier
    ptDateTime,     // written unless 0
    ptString,       // written unless empty
    ptStrings       // a string list, written unless empty
};

struct TEventProperty {
    String Name;
    TEventPropertyType Type = ptInteger;
    // ptEnumeration: the identifiers, by ordinal.
    std::vector<String> Identifiers;
    // ptInteger, ptInt64, ptEnumeration (the ordinal).
    std::function<Int64(const TTOOCSEvent&)> GetOrdinal;
    std::function<void(TTOOCSEvent&, Int64)> SetOrdinal;
    // ptDateTime.
    std::function<double(const TTOOCSEvent&)> GetFloat;
    std::function<void(TTOOCSEvent&, double)> SetFloat;
    // ptString.
    std::function<String(const TTOOCSEvent&)> GetString;
    std::function<void(TTOOCSEvent&, const String&)> SetString;
    // ptStrings: the list itself, read and filled in place.
    std::function<TStrings*(TTOOCSEvent&)> GetStrings;
};

class TEventPropertyList {
public:
    int Count() const { return int(FItems.size()); }
    const TEventProperty& Items(int Index) const { return FItems.at(std::size_t(Index)); }
    // Null when the class has no property of that name (ASCII case ignored).
    const TEventProperty* Find(const String& Name) const;

    template <class C, class R>
    void AddInteger(const char* Name, R (C::*Get)() const, void (C::*Set)(int))
    {
        TEventProperty& p = Add(Name, ptInteger);
        p.GetOrdinal = [Get](const TTOOCSEvent& E) { return Int64((static_cast<const C&>(E).*Get)()); };
        p.SetOrdinal = [Set](TTOOCSEvent& E, Int64 V) { (static_cast<C&>(E).*Set)(int(V)); };
    }

    template <class C, class R>
    void AddInt64(const char* Name, R (C::*Get)() const, void (C::*Set)(Int64))
    {
        TEventProperty& p = Add(Name, ptInt64);
        p.GetOrdinal = [Get](const TTOOCSEvent& E) { return Int64((static_cast<const C&>(E).*Get)()); };
        p.SetOrdinal = [Set](TTOOCSEvent& E, Int64 V) { (static_cast<C&>(E).*Set)(V); };
    }

    // Identifiers name the values 0, 1, 2, ... of the enumeration E.
    template <class C, class E>
    void AddEnumeration(const char* Name, E (C::*Get)() const, void (C::*Set)(E),
                        std::initializer_list<const char*> Identifiers)
    {
        TEventProperty& p = Add(Name, ptEnumeration);
        for (const char* id : Identifiers)
            p.Identifiers.emplace_back(id);
        p.GetOrdinal = [Get](const TTOOCSEvent& Ev) { return Int64((static_cast<const C&>(Ev).*Get)()); };
        p.SetOrdinal = [Set](TTOOCSEvent& Ev, Int64 V) { (static_cast<C&>(Ev).*Set)(E(V)); };
    }

    template <class C>
    void AddDateTime(const char* Name, TDateTime (C::*Get)() const, void (C::*Set)(TDateTime))
    {
        TEventProperty& p = Add(Name, ptDateTime);
        p.GetFloat = [Get](const TTOOCSEvent& E) { return (static_cast<const C&>(E).*Get)(); };
        p.SetFloat = [Set](TTOOCSEvent& E, double V) { (static_cast<C&>(E).*Set)(V); };
    }

    template <class C, class R>
    void AddString(const char* Name, R (C::*Get)() const, void (C::*Set)(const String&))
    {
        TEventProperty& p = Add(Name, ptString);
        p.GetString = [Get](const TTOOCSEvent& E) { return String((static_cast<const C&>(E).*Get)()); };
        p.SetString = [Set](TTOOCSEvent& E, const String& V) { (static_cast<C&>(E).*Set)(V); };
    }

    template <class C, class L>
    void AddStrings(const char* Name, L* (C::*Get)() const)
    {
        TEventProperty& p = Add(Name, ptStrings);
        p.GetStrings = [Get](TTOOCSEvent& E) -> TStrings* { return (static_cast<C&>(E).*Get)(); };
    }

private:
    TEventProperty& Add(const char* Name, TEventPropertyType Type);
    std::vector<TEventProperty> FItems;
};

// The abstract event. Subclasses that travel must be creatable by class
// reference (VEK_DECLARE_CREATABLE_CLASS) and registered with RegisterClass.
class TTOOCSEvent : public TComponent {
    VEK_DECLARE_CLASS(TTOOCSEvent, TComponent)

public:
    explicit TTOOCSEvent(TComponent* AOwner = nullptr) : TComponent(AOwner) {}

    virtual void Perform() = 0;

    // The published properties of this object's class, base class first.
    // Built once per class.
    const TEventPropertyList& Properties() const;

protected:
    virtual void DeclareProperties(TEventPropertyList& List) const;
};
