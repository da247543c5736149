// Arbitrary bytes as what a server sends a client: the first byte chooses
// whether the rest is the whole document's ini lines or the component
// stream of one event. Performing it never crashes or hangs, and a document
// loaded from the lines, sent on, arrives with the same row IDs.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/ScheduleDocument.h"
#include "network/EventStream.h"
#include "network/VEKEvents.h"
#include "platform/Streams.h"

namespace {

// Fresh documents for every input: rows live in the tree's own node pool,
// which the leak checker does not look into, so rows kept from one input to
// the next would look lost.
struct TDocumentHolder {
    TScheduleDocument* Doc;
    TScheduleDocument* Copy;
    TDocumentHolder() : Doc(Create<TScheduleDocument>(nullptr)), Copy(Create<TScheduleDocument>(nullptr))
    {
        Doc->ActionNew();
        Copy->ActionNew();
    }
    ~TDocumentHolder()
    {
        Doc->Free();
        Copy->Free();
    }
};

std::vector<int> IDs(TScheduleDocument& Doc)
{
    std::vector<int> ids;
    Doc.ForEach(feAll, 0, [&](TNodeData* Row, NativeInt) { ids.push_back(Row->ID); });
    return ids;
}

using TEventPtr = std::unique_ptr<TTOOCSEvent, TObjectDeleter>;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool registered = [] {
        FormatSettings = TFormatSettings::Default();
        RegisterVEKEvents();
        return true;
    }();
    (void)registered;
    if (size == 0)
        return 0;
    TDocumentHolder holder;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        TEventPtr update(new TUpdateTableEvent());
        static_cast<TUpdateTableEvent*>(update.get())->Storage()->SetText(rest);
        static_cast<TUpdateTableEvent*>(update.get())->SetDocument(holder.Doc);
        update->Perform();
        TEventPtr again(TUpdateTableEvent::CreateInitialized(*holder.Doc));
        static_cast<TUpdateTableEvent*>(again.get())->SetDocument(holder.Copy);
        again->Perform();
        if (IDs(*holder.Doc) != IDs(*holder.Copy))
            __builtin_trap();
        return 0;
    }
    TMemoryStream stream;
    stream.WriteBytes(rest);
    stream.SetPosition(0);
    TEventPtr event;
    try {
        event.reset(ReadEventComponent(stream));
    } catch (const EEventStreamError&) {
        return 0;
    }
    if (auto* e = dynamic_cast<TVEKEvent*>(event.get())) {
        e->SetDocument(holder.Doc);
        e->Perform();
    }
    return 0;
}
