// What a label or laser printer would print from a job its CUPS driver made:
// every page of the job as a grey PGM, one pixel a printer dot, from the
// paper's corner.
//
//   printer_raster JOB PREFIX     writes PREFIX-1.pgm, PREFIX-2.pgm, ...
//
// ZPL (rastertolabel's Zebra driver): each page is a "~DG" graphic of hex
// rows, with ZPL's run-length letters (G-Y 1-19, g-z 20-400 times the next
// digit), "," ending a row in white, "!" in black, ":" repeating the row.
// PCL (rastertohp): "ESC * b # W" rows, uncompressed or in mode 2 (PackBits),
// "ESC * b # Y" blank rows, the paper from "ESC & l # A", the page's top from "ESC & a # V"
// (decipoints) and its left the LaserJet PPD's 18 pt hardware margin; a form feed ends it.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Row = std::vector<unsigned char>;  // 1 = black dot

struct Raster {
    int width = 0, height = 0, left = 0, top = 0;
    std::vector<Row> rows;
};

void Write(const Raster& r, const std::string& name) {
    std::ofstream out(name, std::ios::binary);
    out << "P5\n" << r.width << ' ' << r.height << "\n255\n";
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const int ry = y - r.top, rx = x - r.left;
            const bool ink = ry >= 0 && ry < int(r.rows.size()) && rx >= 0 &&
                             rx < int(r.rows[ry].size()) && r.rows[ry][rx];
            out.put(ink ? 0 : char(255));
        }
    }
}

void AddBits(Row& row, unsigned byte) {
    for (int bit = 7; bit >= 0; --bit) row.push_back((byte >> bit) & 1);
}

// One ~DG graphic from `at` (just past its bytes-per-row field).
std::vector<Row> ZplGraphic(const std::string& job, std::size_t& at, int perRow, int total) {
    std::vector<Row> rows;
    std::string hex;
    const auto endRow = [&](char fill) {
        hex.resize(perRow * 2, fill);
        Row row;
        for (int i = 0; i < perRow; ++i)
            AddBits(row, std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        rows.push_back(row);
        hex.clear();
    };
    int repeat = 0;
    for (; at < job.size() && int(rows.size()) * perRow < total; ++at) {
        const char c = job[at];
        if (c >= 'G' && c <= 'Y')
            repeat += c - 'G' + 1;
        else if (c >= 'g' && c <= 'z')
            repeat += (c - 'g' + 1) * 20;
        else if (c == ',' || c == '!')
            endRow(c == ',' ? '0' : 'F');
        else if (c == ':')
            rows.push_back(rows.empty() ? Row(perRow * 8) : rows.back());
        else if (std::isxdigit(static_cast<unsigned char>(c))) {
            hex.append(std::max(repeat, 1), c), repeat = 0;
            if (int(hex.size()) >= perRow * 2) endRow('0');
        } else if (c == '^' || c == '~')
            break;
    }
    return rows;
}

int Zpl(const std::string& job, const std::string& prefix) {
    int pages = 0;
    for (std::size_t at = job.find("~DG"); at != std::string::npos; at = job.find("~DG", at)) {
        int total = 0, perRow = 0, used = 0;
        if (std::sscanf(job.c_str() + at, "~DG%*[^,],%d,%d,%n", &total, &perRow, &used) < 2) break;
        at += used;
        Raster r;
        r.rows = ZplGraphic(job, at, perRow, total);
        r.width = perRow * 8, r.height = int(r.rows.size());
        Write(r, prefix + "-" + std::to_string(++pages) + ".pgm");
    }
    return pages > 0 ? 0 : 1;
}

// PackBits: n < 128 copies n + 1 bytes, n > 128 repeats the next 257 - n times.
Row Unpack(const std::string& data, int mode) {
    Row row;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto n = static_cast<unsigned char>(data[i]);
        if (mode != 2)
            AddBits(row, n);
        else if (n < 128)
            for (int k = 0; k <= n && ++i < data.size(); ++k) AddBits(row, data[i]);
        else if (n > 128 && ++i < data.size())
            for (int k = 0; k < 257 - n; ++k) AddBits(row, data[i]);
    }
    return row;
}

int Pcl(const std::string& job, const std::string& prefix, int dpi) {
    Raster r;
    int pages = 0, mode = 0, letter = 0;
    const auto finish = [&] {
        if (r.rows.empty()) return;
        r.left = dpi / 4;  // 18 pt
        r.width = letter ? dpi * 85 / 10 : dpi * 2100 / 254;
        r.height = letter ? dpi * 11 : dpi * 2970 / 254;
        Write(r, prefix + "-" + std::to_string(++pages) + ".pgm");
        r.rows.clear();
    };
    for (std::size_t at = 0; at < job.size(); ++at) {
        if (job[at] == '\f') finish();
        if (job[at] != '\033' || at + 3 >= job.size()) continue;
        const std::string group = job.substr(at + 1, 2);
        std::size_t end = at + 3;
        while (end < job.size() && !std::isalpha(static_cast<unsigned char>(job[end]))) ++end;
        const int value = std::atoi(job.c_str() + at + 3);
        const char what = job[end];
        if (group == "*t" && what == 'R') dpi = value;
        if (group == "&l" && what == 'A') letter = value == 2;  // else 26, A4
        if (group == "&a" && what == 'V') r.top = value * dpi / 720;
        if (group == "*b" && what == 'M') mode = value;
        if (group == "*b" && what == 'Y') r.rows.resize(r.rows.size() + value);
        if (group == "*b" && what == 'W')
            r.rows.push_back(Unpack(job.substr(end + 1, value), mode)), end += value;
        at = end;
    }
    finish();
    return pages > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return std::fputs("usage: printer_raster JOB PREFIX\n", stderr), 2;
    std::ifstream in(argv[1], std::ios::binary);
    const std::string job{std::istreambuf_iterator<char>(in), {}};
    if (job.rfind("~DG", 0) == 0) return Zpl(job, argv[2]);
    if (job.rfind("\033E", 0) == 0) return Pcl(job, argv[2], 300);
    return std::fputs("printer_raster: neither ZPL nor PCL\n", stderr), 2;
}
