#include "services/LossText.h"

#include "platform/ui/Numbers.h"

#include <cmath>

namespace kv::services {

namespace mag = magnetics;

namespace {
std::string span(double lo, double hi, std::string_view unit) {
    return ui::formatNumber(lo, 4) + "~" + ui::formatNumber(hi, 4) + std::string(unit);
}

std::string modelReason(const mag::WindowLoss& w, const std::string& material) {
    const std::optional<mag::DataSpan> data = mag::dataSpan(material);
    switch (w.loss.reason) {
    case mag::Reason::UnknownMaterial: return "损耗：材料" + material + "没有损耗数据";
    case mag::Reason::FrequencyOutside:
        return "损耗：开关频率超出" + material + "损耗数据的范围" +
               (data ? "(" + span(data->fMin / 1e3, data->fMax / 1e3, "kHz") + ")" : std::string());
    case mag::Reason::FluxOutside: return "损耗：峰值磁密超出" + material + "损耗数据的范围";
    case mag::Reason::TemperatureOutside:
        return "损耗：磁芯温度超出损耗数据的范围" + (data ? "(" + span(data->tMin, data->tMax, "℃") + ")" : std::string()) +
               "，环境温度过低或温升过高";
    case mag::Reason::UnknownShape:
    case mag::Reason::ShapeNotSupported: return "损耗：该磁芯形状的绕组几何未建模";
    case mag::Reason::WindingDoesNotFit: return "损耗：绕组放不进磁芯窗口";
    case mag::Reason::BadInput:
    case mag::Reason::None: break;
    }
    return "损耗：匝数、电流、线径或环境温度不是有效的数值";
}
} // namespace

std::string lossNote(const mag::WindowLoss& w, const mag::TableCore* core, std::string_view pick) {
    switch (w.gap) {
    case mag::LossGap::None:
        return w.loss.coreLossBound ? "注：磁密低于材料损耗数据，磁芯损耗按数据下限计，为上限值" : "";
    case mag::LossGap::NoResults: return "损耗：尚无计算结果";
    case mag::LossGap::TypedCore:
        return "损耗：手动输入的磁芯没有材料和形状数据，请用“" + std::string(pick) + "”从磁芯库选取磁芯";
    case mag::LossGap::NoShape:
        return "损耗：磁芯" + (core ? core->type : std::string()) + "没有可用的形状数据(绕组几何未知)";
    case mag::LossGap::Model: break;
    }
    return modelReason(w, core ? core->material : std::string());
}

std::string lossText(double v) {
    return std::isfinite(v) ? ui::formatNumber(v, kLossDigits) : std::string();
}

std::vector<std::string> wrapped(std::string_view text, int perLine) {
    std::vector<std::string> lines;
    int count = perLine;
    for (size_t i = 0; i < text.size();) {
        // A code point: its lead byte and the continuation bytes after it.
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        if (count == perLine) {
            lines.emplace_back();
            count = 0;
        }
        lines.back().append(text.substr(i, n));
        ++count;
        i += n;
    }
    return lines;
}

std::string coreCaption(const mag::TableCore* core) {
    return core ? "磁芯:" + core->type + " " + core->material : std::string(kTypedCore);
}

std::string coreLineMisfit(std::string_view name, std::string_view value) {
    return "“" + std::string(name) + "”的值“" + std::string(value) +
           "”不是磁芯（应为：型号; 材质; Ae(mm2); Aw(mm2); AL(nH); Le(mm); Ve(mm3)）。";
}

} // namespace kv::services
