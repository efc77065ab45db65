// Binding tables and label lists of the classic designers.
#include "script/Bindings.h"

#include "script/DesignerFiles.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <iterator>

namespace kv::script {
namespace {

constexpr Binding kDcdc[] = {
    {"VinMin", 1030, "最低输入电压(V)"},
    {"VinMax", 1040, "最高输入电压(V)"},
    {"Vo", 1047, "输出电压(V)"},
    {"IoMax", 1041, "最大负载(A)"},
    {"Vsw", 1042, "开关管Vsw(V)"},
    {"Vdf", 1064, "二极管VD(V)"},
    {"f", 1044, "开关频率(kHz)"},
    {"Ptd", 1046, "死区时间(T%)"},
    {"r", 1045, "纹波率(r)"},
    {"Bpk", 1048, "峰值磁密(GS)"},
    {"Bsat", 1049, "饱和磁密(GS)"},
    {"Cmil", 1027, "电流密度(cmil/A)"},
    {"Vopp", 1056, "输出纹波电压(mV)  "},
    {"Ae", 1057, "磁芯面积Ae(mm2)"},
    {"L", 1031, "电感量(μH)"},
    {"Ipk", 1032, "电流峰值(A)"},
    {"Irms", 1033, "电流有效值(A)"},
    {"DL", 1034, "绕线线径(mm)"},
    {"NL", 1036, "绕线匝数(Ts)"},
    {"Ton", 1058, "导通时间(μS)"},
    {"Duty", 1038, "占空比"},
    {"Iswrms", 1061, "开关管有效电流(A)"},
    {"Vswm", 1051, "开关管耐压>(V)"},
    {"Idrms", 1065, "二极管有效电流(A)"},
    {"Vdm", 1052, "二极管耐压>(V)"},
    {"Co", 1067, "输出电容估算值(uF)"},
    {"Vc", 1054, "输出电容耐压>(V)"},
};

constexpr Binding kFlyback[] = {
    {"Po", 1016, "输出功率(W)"},
    {"Vo", 1017, "输出电压(V)"},
    {"Eff", 1019, "效率(%)"},
    {"VacMin", 1020, "最低交流输入(V)"},
    {"VacMax", 1021, "最高交流输入(V)"},
    {"Vswm", 1023, "开关管耐压(V)"},
    {"Vswr", 1055, "耐压裕量>30(V)"},
    {"f", 1024, "开关频率(kHz)"},
    {"Vdf", 1030, "输出整流管压降(V)"},
    {"r", 1025, "纹波率(仅CCM)"},
    {"Ptd", 1026, "空闲比例(T%)"},
    {"Cmil", 1027, "电流密度(cmil/A)"},
    {"Vopp", 1060, "输出纹波电压(mV)"},
    {"Ve", 1049, "磁芯体积Ve(mm3)"},
    {"Lp", 1022, "初级电感量(μH)"},
    {"Ls", 1028, "次级电感量(μH)"},
    {"Np", 1034, "初级匝数NP(Ts)"},
    {"Ns", 1036, "次级匝数NS(Ts)"},
    {"Dp", 1037, "初级线径(mm)"},
    {"Ds", 1038, "次级线径(mm)"},
    {"Zc", 1039, "气隙长度(mm)"},
    {"Iin", 1040, "电流平均值(A)"},
    {"Ipkp", 1041, "电流峰值(A)"},
    {"Irmsp", 1042, "电流有效值(A)"},
    {"Iswe", 1061, "Isw=10*Irms(A)"},
    {"Ton", 1058, "导通时间Max(uS)"},
    {"Cin", 1059, "输入电容>(μF)"},
    {"Ae", 1029, "Ae(mm2)"},
    {"Le", 1031, "Le(mm)"},
    {"Bpk", 1033, "峰值磁密(GS)"},
    {"Bsat", 1032, "饱和磁密(GS)"},
    {"Irmss", 1062, "电流有效值(A)"},
    {"Ipks", 1063, "电流峰值(A)"},
    {"Vdm", 1064, "二极管耐压 >(V)"},
    {"Idm", 1065, "二极管电流 >(A)"},
    {"Co", 1067, "输出电容>(μF)"},
    {"Vcm", 1068, "输出电容耐压>(V)"},
    {"Per", 1048, "漏感占一次百分比(%)"},
    {"Clk", 1056, "漏感吸收电容>(nF)"},
    {"Rlk", 1057, "漏感吸收电阻(KΩ)"},
};

constexpr Binding kRcc[] = {
    {"VacMin", 1027, "最低交流输入(V)"},
    {"VacMax", 1028, "最高交流输入(V)"},
    {"Vo", 1029, "输出电压(V)"},
    {"IoMax", 1030, "最大负载电流(A)"},
    {"IoMin", 1052, "最小负载电流(A)"},
    {"fMin", 1031, "最低频率(KHz)"},
    {"Eff", 1032, "效率(%)"},
    {"Vswm", 1033, "开关管耐压(V)"},
    {"Vswr", 1034, "耐压余量(V)"},
    {"Vsw", 1043, "开关管压降(V)"},
    {"Vdf", 1044, "二极管压降(V)"},
    {"Bpk", 1045, "峰值磁密(GS)"},
    {"Ae", 1046, "磁芯面积Ae(mm2)"},
    {"Cmil", 1047, "电流密度(cmil/A)"},
    {"Lp", 1091, "初级电感量(μH)"},
    {"Ls", 1035, "次级电感量(μH)"},
    {"Ipkp", 1036, "初级电流峰值(A)"},
    {"Ipks", 1037, "次级电流峰值(A)"},
    {"Irmsp", 1038, "初级电流有效值(A)"},
    {"Irmss", 1039, "次级电流有效值(A)"},
    {"Np", 1040, "初级匝数NP(Ts)"},
    {"Ns", 1041, "次级匝数NS(Ts)"},
    {"Dp", 1042, "初级线径(mm)"},
    {"Ds", 1048, "次级线径(mm)"},
    {"fMax", 1049, "Imin处最大频率(KHz)"},
};

constexpr Binding kPushPull[] = {
    {"VinMin", 1116, "最低直流输入(V)"},
    {"VinMax", 1117, "最高直流输入(V)"},
    {"Vo", 1118, "输出电压(V)"},
    {"Io", 1119, "输出电流(A)"},
    {"f", 1120, "开关频率(kHz)"},
    {"Eff", 1121, "效率(%)"},
    {"Vdf", 1122, "输出二极管≈(V)"},
    {"Dmax", 1123, "最大占空比(双管)"},
    {"DB", 1124, "1/2△B(GS)"},
    {"Cmil", 1125, "电流密度(cmil/A)"},
    {"Ae", 1126, "磁芯面积AE(mm2)"},
    {"Np", 1127, "初级匝数NP(1/2)"},
    {"Ns", 1128, "次级匝数NS(1/2)"},
    {"Dp", 1129, "初级线径(mm)"},
    {"Ds", 1130, "次级线径(mm)"},
    {"Irmsp", 1133, "初级电流有效值(A)"},
    {"Irmss", 1135, "次级电流有效值(A)"},
    {"Lo", 1136, "输出电感(μH)"},
};

constexpr Binding kHalfBridge[] = {
    {"VinMin", 1143, "最低直流输入(V)"},
    {"VinMax", 1144, "最高直流输入(V)"},
    {"Vo", 1145, "输出电压(V)"},
    {"Io", 1146, "输出电流(A)"},
    {"f", 1147, "开关频率(kHz)"},
    {"Eff", 1148, "效率(%)"},
    {"Vdf", 1149, "输出二极管≈(V)"},
    {"Dmax", 1150, "最大占空比(双管)"},
    {"DB", 1151, "1/2△B(GS)"},
    {"Cmil", 1152, "电流密度(cmil/A)"},
    {"Ae", 1153, "磁芯面积Ae(mm2)"},
    {"Np", 1154, "初级匝数NP"},
    {"Ns", 1155, "次级匝数NS(1/2)"},
    {"Dp", 1156, "初级线径(mm)"},
    {"Ds", 1157, "次级线径(mm)"},
    {"Irmsp", 1158, "初级电流有效值(A)"},
    {"Irmss", 1159, "次级电流有效值(A)"},
    {"Lo", 1160, "输出电感(μH)"},
};

constexpr Binding kFullBridge[] = {
    {"VinMin", 1164, "最低直流输入(V)"},
    {"VinMax", 1165, "最高直流输入(V)"},
    {"Vo", 1166, "输出电压(V)"},
    {"Io", 1167, "输出电流(A)"},
    {"f", 1168, "开关频率(kHz)"},
    {"Eff", 1169, "效率(%)"},
    {"Vdf", 1170, "输出二极管≈(V)"},
    {"Dmax", 1171, "最大占空比(2桥臂)"},
    {"DB", 1172, "1/2△B(GS)"},
    {"Cmil", 1173, "电流密度(cmil/A)"},
    {"Ae", 1174, "磁芯面积Ae(mm2)"},
    {"Np", 1175, "初级匝数NP"},
    {"Ns", 1176, "次级匝数NS(1/2)"},
    {"Dp", 1177, "初级线径(mm)"},
    {"Ds", 1178, "次级线径(mm)"},
    {"Irmsp", 1179, "初级电流有效值(A)"},
    {"Irmss", 1180, "次级电流有效值(A)"},
    {"Lo", 1183, "输出电感(uH)"},
};

constexpr Binding kForward[] = {
    {"VinMin", 1097, "最低直流输入(V)"},
    {"VinMax", 1098, "最高直流输入(V)"},
    {"Vo", 1031, "输出电压(V)"},
    {"Io", 1099, "输出电流(A)"},
    {"f", 1032, "开关频率(kHz)"},
    {"Eff", 1033, "效率(%)"},
    {"Vdf", 1035, "输出二极管≈(V)"},
    {"Dmax", 1100, "最大占空比"},
    {"Bpk", 1101, "峰值磁密(GS)"},
    {"Cmil", 1102, "电流密度(cmil/A)"},
    {"Ae", 1046, "Ae(mm2)"},
    {"Np", 1103, "初级匝数NP(Ts)"},
    {"Ns", 1104, "次级匝数NS(Ts)"},
    {"Dp", 1105, "初级线径(mm)"},
    {"Ds", 1038, "次级线径(mm)"},
    {"Irmsp", 1108, "初级电流有效值(A)"},
    {"Irmss", 1044, "次级电流有效值(A)"},
    {"Lo", 1045, "输出电感(μH)"},
    {"Kw", 1061, "窗口面积利用系数"},
    {"Ap", 1094, "估算磁芯面积乘积AP"},
};

constexpr LabelDef kFlybackLabels[] = {
    {1296, "输出功率(W)"}, // 1
    {1250, "输出电压(V)"}, // 2
    {1253, "效率(%)"}, // 3
    {1248, "最低交流输入(V)"}, // 4
    {1249, "最高交流输入(V)"}, // 5
    {1281, "开关管耐压(V)"}, // 6
    {1290, "耐压裕量>30(V)"}, // 7
    {1252, "开关频率(kHz)"}, // 8
    {1254, "输出整流管压降(V)"}, // 9
    {1216, "纹波率(仅CCM)"}, // 10
    {1215, "空闲比例(T%)"}, // 11
    {1257, "电流密度(cmil/A)"}, // 12
    {1272, "输出纹波电压(mV)"}, // 13
    {1052, "磁芯体积Ve(mm3)"}, // 14
    {1291, "初级电感量(μH)"}, // 15
    {1292, "次级电感量(μH)"}, // 16
    {1259, "初级匝数NP(Ts)"}, // 17
    {1247, "次级匝数NS(Ts)"}, // 18
    {1260, "初级线径(mm)"}, // 19
    {1261, "次级线径(mm)"}, // 20
    {1297, "气隙长度(mm)"}, // 21
    {1298, "电流平均值(A)"}, // 22
    {1293, "电流峰值(A)"}, // 23
    {1262, "电流有效值(A)"}, // 24
    {1299, "Isw=10*Irms(A)"}, // 25
    {1278, "导通时间Max(uS)"}, // 26
    {1300, "输入电容>(μF)"}, // 27
    {1258, "Ae(mm2)"}, // 28
    {1066, "Le(mm)"}, // 29
    {1270, "峰值磁密(GS)"}, // 30
    {1271, "饱和磁密(GS)"}, // 31
    {1263, "电流有效值(A)"}, // 32
    {1294, "电流峰值(A)"}, // 33
    {1283, "二极管耐压 >(V)"}, // 34
    {1301, "二极管电流 >(A)"}, // 35
    {1284, "输出电容>(μF)"}, // 36
    {1302, "输出电容耐压>(V)"}, // 37
    {1303, "漏感占一次百分比(%)"}, // 38
    {1304, "漏感吸收电容>(nF)"}, // 39
    {1305, "漏感吸收电阻(KΩ)"}, // 40
};

constexpr LabelDef kDcdcLabels[] = {
    {1265, "最低输入电压(V)"}, // 1
    {1266, "最高输入电压(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1267, "最大负载(A)"}, // 4
    {1268, "开关管Vsw(V)"}, // 5
    {1254, "二极管VD(V)"}, // 6
    {1252, "开关频率(kHz)"}, // 7
    {1215, "死区时间(T%)"}, // 8
    {1216, "纹波率(r)"}, // 9
    {1270, "峰值磁密(GS)"}, // 10
    {1271, "饱和磁密(GS)"}, // 11
    {1257, "电流密度(cmil/A)"}, // 12
    {1272, "输出纹波电压(mV)  "}, // 13
    {1258, "磁芯面积Ae(mm2)"}, // 14
    {1273, "电感量(μH)"}, // 15
    {1274, "电流峰值(A)"}, // 16
    {1275, "电流有效值(A)"}, // 17
    {1276, "绕线线径(mm)"}, // 18
    {1277, "绕线匝数(Ts)"}, // 19
    {1278, "导通时间(μS)"}, // 20
    {1279, "占空比"}, // 21
    {1280, "开关管有效电流(A)"}, // 22
    {1281, "开关管耐压>(V)"}, // 23
    {1282, "二极管有效电流(A)"}, // 24
    {1283, "二极管耐压>(V)"}, // 25
    {1284, "输出电容估算值(uF)"}, // 26
    {1285, "输出电容耐压>(V)"}, // 27
};

constexpr LabelDef kRccLabels[] = {
    {1248, "最低交流输入(V)"}, // 1
    {1249, "最高交流输入(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1267, "最大负载电流(A)"}, // 4
    {1287, "最小负载电流(A)"}, // 5
    {1288, "最低频率(KHz)"}, // 6
    {1253, "效率(%)"}, // 7
    {1281, "开关管耐压(V)"}, // 8
    {1290, "耐压余量(V)"}, // 9
    {1268, "开关管压降(V)"}, // 10
    {1254, "二极管压降(V)"}, // 11
    {1270, "峰值磁密(GS)"}, // 12
    {1258, "磁芯面积Ae(mm2)"}, // 13
    {1257, "电流密度(cmil/A)"}, // 14
    {1291, "初级电感量(μH)"}, // 15
    {1292, "次级电感量(μH)"}, // 16
    {1293, "初级电流峰值(A)"}, // 17
    {1294, "次级电流峰值(A)"}, // 18
    {1262, "初级电流有效值(A)"}, // 19
    {1263, "次级电流有效值(A)"}, // 20
    {1259, "初级匝数NP(Ts)"}, // 21
    {1247, "次级匝数NS(Ts)"}, // 22
    {1260, "初级线径(mm)"}, // 23
    {1261, "次级线径(mm)"}, // 24
    {1295, "Imin处最大频率(KHz)"}, // 25
};

constexpr LabelDef kForwardLabels[] = {
    {1248, "最低直流输入(V)"}, // 1
    {1249, "最高直流输入(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1251, "输出电流(A)"}, // 4
    {1252, "开关频率(kHz)"}, // 5
    {1253, "效率(%)"}, // 6
    {1254, "输出二极管≈(V)"}, // 7
    {1255, "最大占空比"}, // 8
    {1270, "峰值磁密(GS)"}, // 9
    {1257, "电流密度(cmil/A)"}, // 10
    {1286, "窗口面积利用系数"}, // 11
    {1259, "初级匝数NP(Ts)"}, // 12
    {1247, "次级匝数NS(Ts)"}, // 13
    {1260, "初级线径(mm)"}, // 14
    {1261, "次级线径(mm)"}, // 15
    {1262, "初级电流有效值(A)"}, // 16
    {1263, "次级电流有效值(A)"}, // 17
    {1264, "输出电感(μH)"}, // 18
    {1258, "Ae(mm2)"}, // 19
};

constexpr LabelDef kPushPullLabels[] = {
    {1248, "最低直流输入(V)"}, // 1
    {1249, "最高直流输入(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1251, "输出电流(A)"}, // 4
    {1252, "开关频率(kHz)"}, // 5
    {1253, "效率(%)"}, // 6
    {1254, "输出二极管≈(V)"}, // 7
    {1255, "最大占空比(双管)"}, // 8
    {1256, "1/2△B(GS)"}, // 9
    {1257, "电流密度(cmil/A)"}, // 10
    {1258, "磁芯面积AE(mm2)"}, // 11
    {1259, "初级匝数NP(1/2)"}, // 12
    {1247, "次级匝数NS(1/2)"}, // 13
    {1260, "初级线径(mm)"}, // 14
    {1261, "次级线径(mm)"}, // 15
    {1262, "初级电流有效值(A)"}, // 16
    {1263, "次级电流有效值(A)"}, // 17
    {1264, "输出电感(μH)"}, // 18
};

// The bridges number the same controls; their built-in texts differ in a few places.
constexpr LabelDef kHalfBridgeLabels[] = {
    {1248, "最低直流输入(V)"}, // 1
    {1249, "最高直流输入(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1251, "输出电流(A)"}, // 4
    {1252, "开关频率(kHz)"}, // 5
    {1253, "效率(%)"}, // 6
    {1254, "输出二极管≈(V)"}, // 7
    {1255, "最大占空比(双管)"}, // 8
    {1256, "1/2△B(GS)"}, // 9
    {1257, "电流密度(cmil/A)"}, // 10
    {1258, "磁芯面积Ae(mm2)"}, // 11
    {1259, "初级匝数NP"}, // 12
    {1247, "次级匝数NS(1/2)"}, // 13
    {1260, "初级线径(mm)"}, // 14
    {1261, "次级线径(mm)"}, // 15
    {1262, "初级电流有效值(A)"}, // 16
    {1263, "次级电流有效值(A)"}, // 17
    {1264, "输出电感(μH)"}, // 18
};

constexpr LabelDef kFullBridgeLabels[] = {
    {1248, "最低直流输入(V)"}, // 1
    {1249, "最高直流输入(V)"}, // 2
    {1250, "输出电压(V)"}, // 3
    {1251, "输出电流(A)"}, // 4
    {1252, "开关频率(kHz)"}, // 5
    {1253, "效率(%)"}, // 6
    {1254, "输出二极管≈(V)"}, // 7
    {1255, "最大占空比(2桥臂)"}, // 8
    {1256, "1/2△B(GS)"}, // 9
    {1257, "电流密度(cmil/A)"}, // 10
    {1258, "磁芯面积Ae(mm2)"}, // 11
    {1259, "初级匝数NP"}, // 12
    {1247, "次级匝数NS(1/2)"}, // 13
    {1260, "初级线径(mm)"}, // 14
    {1261, "次级线径(mm)"}, // 15
    {1262, "初级电流有效值(A)"}, // 16
    {1263, "次级电流有效值(A)"}, // 17
    {1264, "输出电感(uH)"}, // 18
};

constexpr BindingTable kTables[] = {
    {kDcdcTemplate, kDcdc},
    {kFlybackTemplate, kFlyback},
    {kRccTemplate, kRcc},
    {kPushPullTemplate, kPushPull},
    {kHalfBridgeTemplate, kHalfBridge},
    {kFullBridgeTemplate, kFullBridge},
    {kForwardTemplate, kForward},
};

struct LabelSet {
    int templateId;
    std::span<const LabelDef> labels;
};

constexpr LabelSet kLabelSets[] = {
    {kFlybackTemplate, kFlybackLabels},
    {kForwardTemplate, kForwardLabels},
    {kHalfBridgeTemplate, kHalfBridgeLabels},
    {kFullBridgeTemplate, kFullBridgeLabels},
    {kPushPullTemplate, kPushPullLabels},
    {kRccTemplate, kRccLabels},
    {kDcdcTemplate, kDcdcLabels},
};

// Name lookup: a small open-addressing hash per table, built once.
constexpr unsigned kSlots = 128; // power of two, well above the largest table

struct NameIndex {
    std::array<std::int8_t, kSlots> slot{};
};

constexpr size_t kTableCount = std::size(kTables);

constexpr std::array<NameIndex, kTableCount> buildIndexes() {
    std::array<NameIndex, kTableCount> out{};
    for (size_t t = 0; t < kTableCount; ++t) {
        auto& idx = out[t].slot;
        for (auto& s : idx) s = -1;
        const auto& rows = kTables[t].rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            unsigned h = nameHash(rows[r].name) & (kSlots - 1);
            while (idx[h] >= 0) h = (h + 1) & (kSlots - 1);
            idx[h] = static_cast<std::int8_t>(r);
        }
    }
    return out;
}

constexpr auto kIndexes = buildIndexes();

} // namespace

int BindingTable::find(std::string_view name, std::uint32_t hash) const {
    std::less<const BindingTable*> before;
    if (before(this, std::begin(kTables)) || !before(this, std::end(kTables))) {
        // a table not of ours: plain search
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r].name == name) return static_cast<int>(r);
        return -1;
    }
    const auto& idx = kIndexes[static_cast<size_t>(this - kTables)].slot;
    unsigned h = hash & (kSlots - 1);
    while (idx[h] >= 0) {
        const std::string_view n = rows[static_cast<size_t>(idx[h])].name;
        if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin())) return idx[h];
        h = (h + 1) & (kSlots - 1);
    }
    return -1;
}

std::span<const BindingTable> bindingTables() { return kTables; }

const BindingTable* bindingTableForFile(std::string_view fileName) {
    const DesignerFiles* d = designerOfFormulaFile(fileName);
    return d ? bindingTableForTemplate(d->templateId) : nullptr;
}

const BindingTable* bindingTableForTemplate(int templateId) {
    for (const auto& t : kTables)
        if (t.templateId == templateId) return &t;
    return nullptr;
}

std::span<const LabelDef> labelList(int templateId) {
    for (const auto& s : kLabelSets)
        if (s.templateId == templateId) return s.labels;
    return {};
}

} // namespace kv::script
