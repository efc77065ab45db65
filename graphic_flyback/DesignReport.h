// The graphical flyback designer's report: one sheet "Design Report" with a
// title, the project and date line and a table of every input and result;
// below it the transformer's losses and temperature rise.
#pragma once

#include "platform/xls/XlsWriter.h"

#include <string>
#include <utility>
#include <vector>

namespace kv::graphic {

// The design values the report shows (single precision, as the designer
// keeps them). Mode 0 is CCM, anything else DCM.
struct ReportData {
    float VacMin = 0, VacMax = 0, fLine = 0, Efficiency = 0;
    float Vo = 0, Io = 0, Vopp = 0, PerVinpp = 0;
    float fosc = 0, Dmax = 0, r = 0, Tdie = 0;
    int Mode = 0;
    std::string CoreName;   // "磁芯:" and the core type, or "磁芯:用户输入"
    float Ae = 0, Le = 0, Bpk = 0, Bsat = 0, Cmil = 0;
    float Vor = 0, PerLLK = 0, Vz = 0, Vdo = 0, Vf = 0, Vdf = 0, VMos = 0;
    float Ipkp = 0, Irmsp = 0, Lp = 0, Np = 0, dp = 0;
    float Ipks = 0, Irmss = 0, Ls = 0, Ns = 0, ds = 0;
    float Lgap = 0, Rlk = 0, Clk = 0, Cin = 0, Iin = 0;
    float Vswy = 0, Isw = 0, VDon = 0, IDout = 0, VCout = 0, Co = 0, Nf = 0;
    // The transformer's losses (W) and rise (K) at ambient Ta (°C), on the
    // picked core's material ("" for a typed core); when they are not shown,
    // the note says why (it may note an upper bound when they are).
    float Ta = 0;
    std::string CoreMaterial;
    bool LossShown = false;
    float Pcore = 0, Pcu = 0, Ploss = 0, dT = 0;
    std::string LossNote;
    std::string designFile; // the name of the design file, or empty for none
};

// What the report shows for a value that is not a number (the schematic's "---").
inline constexpr const char* kInvalid = "---";
// A value as the report writes it: the double of the shortest decimal that
// reads back to the float (0.8f is written 0.8, not 0.800000011920929).
double reportNumber(float v);
// The keys of the report's values that are not finite, in the report's order.
std::vector<std::string> invalidItems(const ReportData& d);

// Local time of saving as the report prints it.
struct ReportStamp {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
ReportStamp stampNow();

// The report's description of a design value ("VacMin": "最低交流输入电压有效值"),
// or the key itself when the report has no row for it.
std::string reportDescription(const std::string& key);

// The results rows of the report, by key, in their order.
std::vector<std::pair<std::string, float>> reportResults(const ReportData& d);

// Fills a workbook with the report.
void buildDesignReport(xls::WorkbookWriter& book, const ReportData& d, const ReportStamp& at);

// Writes the report to `path` (replacing an existing file only once the new
// one is complete). False with a message for the user in `error`.
bool writeDesignReport(const std::string& path, const ReportData& d, std::string& error);
bool writeDesignReport(const std::string& path, const ReportData& d, const ReportStamp& at,
                       std::string& error);

} // namespace kv::graphic
