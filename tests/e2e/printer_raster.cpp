// The pages a printer would print from its CUPS driver's job, as grey PGMs
// from the paper's corner, one pixel a dot: printer_raster JOB PREFIX writes
// PREFIX-1.pgm, ... ZPL: "~DG" graphics (repeat letters G-Y, g-z; "," and
// "!" end a row white or black, ":" repeats it). PCL: "ESC*b#W" rows, plain or
// PackBits (mode 2), "ESC*b#Y" blank rows, the LaserJet PPD's 18 pt margin.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Row = std::vector<unsigned char>;  // 1 = black dot

void Write(const std::vector<Row>& rows, int width, int height, int left, int top,
           const std::string& name) {
    std::ofstream out(name, std::ios::binary);
    out << "P5\n" << width << ' ' << height << "\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int ry = y - top, rx = x - left;
            const bool ink = ry >= 0 && ry < int(rows.size()) && rx >= 0 &&
                             rx < int(rows[ry].size()) && rows[ry][rx];
            out.put(ink ? 0 : char(255));
        }
    }
}

void AddBits(Row& row, unsigned byte) {
    for (int bit = 7; bit >= 0; --bit) row.push_back((byte >> bit) & 1);
}

std::vector<Row> ZplGraphic(const std::string& job, std::size_t& at, int perRow, int total) {
    std::vector<Row> rows;
    std::string hex;
    const auto endRow = [&](char fill) {
        hex.resize(perRow * 2, fill);
        Row row;
        for (int i = 0; i < perRow; ++i)
            AddBits(row, std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        rows.push_back(row), hex.clear();
    };
    for (int repeat = 0; at < job.size() && int(rows.size()) * perRow < total; ++at) {
        const char c = job[at];
        if (c == '^' || c == '~') break;
        if (c >= 'G' && c <= 'Y') repeat += c - 'G' + 1;
        if (c >= 'g' && c <= 'z') repeat += (c - 'g' + 1) * 20;
        if (c == ',' || c == '!') endRow(c == ',' ? '0' : 'F');
        if (c == ':') rows.push_back(rows.empty() ? Row(perRow * 8) : rows.back());
        if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
        hex.append(std::max(repeat, 1), c), repeat = 0;
        if (int(hex.size()) >= perRow * 2) endRow('0');
    }
    return rows;
}

int Zpl(const std::string& job, const std::string& prefix) {
    int pages = 0;
    for (std::size_t at = job.find("~DG"); at != std::string::npos; at = job.find("~DG", at)) {
        int total = 0, perRow = 0, used = 0;
        if (std::sscanf(job.c_str() + at, "~DG%*[^,],%d,%d,%n", &total, &perRow, &used) < 2) break;
        at += used;
        const std::vector<Row> rows = ZplGraphic(job, at, perRow, total);
        Write(rows, perRow * 8, int(rows.size()), 0, 0,
              prefix + "-" + std::to_string(++pages) + ".pgm");
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

int Pcl(const std::string& job, const std::string& prefix) {
    std::vector<Row> rows;
    int pages = 0, mode = 0, letter = 0, dpi = 300, top = 0;
    const auto finish = [&] {
        if (rows.empty()) return;
        Write(rows, letter ? dpi * 85 / 10 : dpi * 2100 / 254, letter ? dpi * 11 : dpi * 2970 / 254,
              dpi / 4, top, prefix + "-" + std::to_string(++pages) + ".pgm");
        rows.clear();
    };
    for (std::size_t at = 0; at < job.size(); ++at) {
        if (job[at] == '\f') finish();
        if (job[at] != '\033' || at + 3 >= job.size()) continue;
        const std::string group = job.substr(at + 1, 2);
        std::size_t end = at + 3;
        while (end < job.size() && !std::isalpha(static_cast<unsigned char>(job[end]))) ++end;
        const int value = std::atoi(job.c_str() + at + 3);
        const std::string command = group + job[end];
        if (command == "*tR") dpi = value;
        if (command == "&lA") letter = value == 2;  // else 26, A4
        if (command == "&aV") top = value * dpi / 720;
        if (command == "*bM") mode = value;
        if (command == "*bY") rows.resize(rows.size() + value);
        if (command == "*bW")
            rows.push_back(Unpack(job.substr(end + 1, value), mode)), end += value;
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
    if (job.rfind("\033E", 0) == 0) return Pcl(job, argv[2]);
    return std::fputs("printer_raster: neither ZPL nor PCL\n", stderr), 2;
}
