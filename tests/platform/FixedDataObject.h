#pragma once
// A data object for the clipboard tests: fixed bytes per format, and a word
// each time it renders one.
#include <functional>
#include <map>

#include "platform/Clipbrd.h"

class TFixedDataObject : public IDataObject {
public:
    std::map<TClipFormat, std::string> Data;
    std::function<void(TClipFormat)> OnRender;
    int Flushes = 0;

    std::vector<TFormatEtc> EnumFormatEtc() override
    {
        std::vector<TFormatEtc> list;
        for (const auto& [id, bytes] : Data) {
            TFormatEtc f;
            f.cfFormat = id;
            list.push_back(f);
        }
        return list;
    }
    HRESULT QueryGetData(const TFormatEtc& Format) override { return QueryOfferedFormat(EnumFormatEtc(), Format); }
    HRESULT GetData(const TFormatEtc& Format, TStream& Medium) override
    {
        auto it = Data.find(Format.cfFormat);
        if (it == Data.end())
            return DV_E_FORMATETC;
        if (OnRender)
            OnRender(Format.cfFormat);
        Medium.WriteBytes(it->second);
        return S_OK;
    }
    void Flushing() override { ++Flushes; }
};
