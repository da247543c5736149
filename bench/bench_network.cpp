// Event transport on loopback: one server, ten clients, small cell-change
// events broadcast. Prints the events per second delivered to every client
// and the time from Broadcast to arrival at the last client.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "network/TOOCS.h"
#include "platform/Forms.h"
#include "platform/Sockets.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a changed cell sends.
class TCellChangeEvent : public TTOOCSEvent {
    VEK_DECLARE_CREATABLE_CLASS(TCellChangeEvent, TTOOCSEvent)

public:
    TCellChangeEvent() : TTOOCSEvent(nullptr) {}
    void Perform() override {}

    Int64 Transaction() const { return FTransaction; }
    void SetTransaction(Int64 V) { FTransaction = V; }
    Int64 ID() const { return FID; }
    void SetID(Int64 V) { FID = V; }
    int Column() const { return FColumn; }
    void SetColumn(int V) { FColumn = V; }
    const String& Data() const { return FData; }
    void SetData(const String& V) { FData = V; }

protected:
    void DeclareProperties(TEventPropertyList& List) const override
    {
        TTOOCSEvent::DeclareProperties(List);
        List.AddInt64("Transaction", &TCellChangeEvent::Transaction, &TCellChangeEvent::SetTransaction);
        List.AddInt64("ID", &TCellChangeEvent::ID, &TCellChangeEvent::SetID);
        List.AddInteger("Column", &TCellChangeEvent::Column, &TCellChangeEvent::SetColumn);
        List.AddString("Data", &TCellChangeEvent::Data, &TCellChangeEvent::SetData);
    }

private:
    Int64 FTransaction = 0;
    Int64 FID = 0;
    int FColumn = 0;
    String FData;
};

constexpr int Clients = 10;
constexpr int Events = 10000;
constexpr int Window = 32;  // broadcasts in flight during the throughput run

struct TRun {
    std::vector<Clock::time_point> Sent;
    std::vector<Clock::time_point> Arrived;
    std::vector<int> Count;
    int Completed = 0;
};

double Percentile(std::vector<double> V, double P)
{
    if (V.empty())
        return 0;
    std::sort(V.begin(), V.end());
    return V[std::size_t(P * double(V.size() - 1) + 0.5)];
}

std::vector<double> LatenciesMs(const TRun& R)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < R.Sent.size(); ++i)
        if (R.Count[i] == Clients)
            v.push_back(std::chrono::duration<double, std::milli>(R.Arrived[i] - R.Sent[i]).count());
    return v;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Application->Initialize();
    RegisterClass(TCellChangeEvent::StaticClassInfo());

    TComponent owner(nullptr);
    auto* server = Create<TTOOCSServer>(&owner);
    server->Server()->SetBindAddress("127.0.0.1");
    server->SetPort(0);
    server->SetActive(true);
    if (!server->Active()) {
        std::fprintf(stderr, "server did not start\n");
        return 1;
    }

    TRun* current = nullptr;
    std::vector<TTOOCSClient*> clients;
    for (int i = 0; i < Clients; ++i) {
        auto* c = Create<TTOOCSClient>(&owner);
        c->SetHost("127.0.0.1");
        c->SetPort(server->Port());
        c->OnReceiveEvent = [&current](TObject*, TTOOCSEvent* E) {
            const auto now = Clock::now();
            auto* e = static_cast<TCellChangeEvent*>(E);
            TRun& r = *current;
            const std::size_t k = std::size_t(e->Transaction());
            if (k < r.Count.size() && ++r.Count[k] == Clients) {
                r.Arrived[k] = now;
                ++r.Completed;
            }
        };
        c->SetActive(true);
        clients.push_back(c);
    }
    if (!RunMessagesUntil([&] { return server->Server()->ClientCount() == Clients; }, 20000)) {
        std::fprintf(stderr, "clients did not connect\n");
        return 1;
    }

    TCellChangeEvent event;
    event.SetID(123456);
    event.SetColumn(4);
    event.SetData("12.03.2026 08:00");
    auto broadcast = [&](TRun& R, int I) {
        event.SetTransaction(I);
        R.Sent[std::size_t(I)] = Clock::now();
        server->Broadcast(&event, false);
    };
    auto fresh = [](int N) {
        TRun r;
        r.Sent.resize(std::size_t(N));
        r.Arrived.resize(std::size_t(N));
        r.Count.assign(std::size_t(N), 0);
        return r;
    };

    // Throughput: keep a few broadcasts in flight, as a busy editor would.
    TRun loaded = fresh(Events);
    current = &loaded;
    const auto start = Clock::now();
    int next = 0;
    while (loaded.Completed < Events) {
        while (next < Events && next - loaded.Completed < Window)
            broadcast(loaded, next++);
        // Wait for room in the window, or for the last ones to arrive.
        if (!RunMessagesUntil(
                [&] { return loaded.Completed == Events || (next < Events && next - loaded.Completed < Window); },
                10000))
            break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    // Latency: one broadcast at a time.
    const int single = 2000;
    TRun alone = fresh(single);
    current = &alone;
    for (int i = 0; i < single; ++i) {
        broadcast(alone, i);
        if (!RunMessagesUntil([&] { return alone.Completed == i + 1; }, 10000))
            break;
    }

    const std::vector<double> loadedMs = LatenciesMs(loaded);
    const std::vector<double> aloneMs = LatenciesMs(alone);
    std::printf("network broadcast: 1 server, %d clients, %d cell-change events\n", Clients, Events);
    std::printf("  delivered to all clients: %d of %d events\n", loaded.Completed, Events);
    std::printf("  events per second delivered to all clients: %.0f\n", double(loaded.Completed) / seconds);
    std::printf("  Broadcast -> last client, %d in flight: median %.3f ms, p90 %.3f ms\n", Window,
                Percentile(loadedMs, 0.5), Percentile(loadedMs, 0.9));
    std::printf("  Broadcast -> last client, one at a time: median %.3f ms, p90 %.3f ms (%zu events)\n",
                Percentile(aloneMs, 0.5), Percentile(aloneMs, 0.9), aloneMs.size());
    current = nullptr;
    owner.DestroyComponents();
    benchmark::Shutdown();
    return loaded.Completed == Events ? 0 : 1;
}
