// The C++ core alone, without Python: the raw reader's scan, the event layer,
// and the whole parse into records, on the same documents; pugixml's parse
// into its DOM is the reference row.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "siri.hpp"
#include "xml/reader.hpp"

namespace {

using namespace quorvane;

void raw_scan(benchmark::State& state, const std::string* doc) {
    for (auto _ : state) {
        xml::Reader reader(*doc);
        std::size_t events = 0;
        for (;;) {
            const xml::RawEvent e = reader.next();
            if (e.kind == xml::RawKind::Eof || e.kind == xml::RawKind::Error) break;
            ++events;
        }
        benchmark::DoNotOptimize(events);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc->size()));
}

void events(benchmark::State& state, const std::string* doc) {
    for (auto _ : state) {
        xml::Events ev(*doc);
        std::size_t n = 0;
        try {
            while (ev.next().kind != xml::Kind::Eof) ++n;
        } catch (const ParseError&) {
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc->size()));
}

void parse(benchmark::State& state, const std::string* doc) {
    for (auto _ : state) {
        try {
            auto e = from_str(*doc);
            benchmark::DoNotOptimize(e);
        } catch (const ParseError&) {
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc->size()));
}

// The document is built and freed in each iteration, as parse's records are.
void pugixml(benchmark::State& state, const std::string* doc) {
    for (auto _ : state) {
        pugi::xml_document dom;
        const pugi::xml_parse_result result = dom.load_buffer(doc->data(), doc->size(), pugi::parse_default);
        if (!result) {
            state.SkipWithError(result.description());
            break;
        }
        benchmark::DoNotOptimize(dom);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc->size()));
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_core [benchmark flags] DOCS_DIR\n");
        return 2;
    }
    static std::vector<std::pair<std::string, std::string>> docs;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        docs.emplace_back(entry.path().stem().string(), text.str());
    }
    std::sort(docs.begin(), docs.end());
    for (const auto& [name, text] : docs) {
        benchmark::RegisterBenchmark(("raw_scan/" + name).c_str(), raw_scan, &text);
        benchmark::RegisterBenchmark(("events/" + name).c_str(), events, &text);
        benchmark::RegisterBenchmark(("parse/" + name).c_str(), parse, &text);
        benchmark::RegisterBenchmark(("pugixml/" + name).c_str(), pugixml, &text);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
