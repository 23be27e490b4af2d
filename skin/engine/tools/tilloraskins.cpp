// tilloraskins: writes the program's own skins of ProgramSkins.h at build time.
//   tilloraskins OUTPUT-FOLDER SPLASH-TEMPLATE
// See ProgramSkins.h for what lands where. The template is the splash's description holding
// the line "    InternalSkins = <>" (replaced by the internal skin) and the line
// "    SkinName = '<internal name>'". OUTPUT-FOLDER/tilloraskins.stamp is written last.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/engine/tools/PictureFiles.h"
#include "skin/engine/tools/ProgramSkins.h"
#include "skin/engine/tools/VtzWriter.h"

namespace fs = std::filesystem;
using namespace pictures;
using namespace programskins;

namespace {

constexpr uint32_t Transparent = 0xFF00FF;

uint32_t Mix(uint32_t a, uint32_t b, double f)
{
    auto ch = [&](int s) {
        const double v = ((a >> s) & 0xFF) * (1 - f) + ((b >> s) & 0xFF) * f;
        return static_cast<uint32_t>(std::lround(v)) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

// A colour of the skin text: 0x00BBGGRR in decimal.
std::string SkinColor(uint32_t rgb)
{
    const uint32_t c = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
    return std::to_string(c);
}

class TPainter {
public:
    TPainter(TPicture& p, const TPalette& pal) : p_(p), pal_(pal) {}
    uint32_t C(TRole r) const { return pal_.Colors[r]; }
    void Fill(int x, int y, int w, int h, uint32_t c)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                p_.At(i, j) = c;
    }
    void Px(int x, int y, uint32_t c) { p_.At(x, y) = c; }
    // An outline of width 1 with two colours (top-left, bottom-right).
    void Outline(int x, int y, int w, int h, uint32_t tl, uint32_t br)
    {
        for (int i = x; i < x + w; ++i) {
            p_.At(i, y) = tl;
            p_.At(i, y + h - 1) = br;
        }
        for (int j = y; j < y + h; ++j) {
            p_.At(x, j) = tl;
            p_.At(x + w - 1, j) = br;
        }
    }
    void VerticalGradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom)
    {
        for (int j = 0; j < h; ++j)
            Fill(x, y + j, w, 1, Mix(top, bottom, h > 1 ? static_cast<double>(j) / (h - 1) : 0));
    }
    void RoundCorners(int x, int y, int w, int h)
    {
        Px(x, y, Transparent);
        Px(x + w - 1, y, Transparent);
        Px(x, y + h - 1, Transparent);
        Px(x + w - 1, y + h - 1, Transparent);
    }

    // One frame of an image in state s (0 normal, 1 hot, 2 pressed).
    void Frame(const TImage& im, int s)
    {
        const int x = im.Left + s * im.FrameW, y = im.Top, w = im.FrameW, h = im.FrameH;
        const uint32_t face = s == 1 ? C(rFaceHot) : C(rFace);
        switch (im.Shape) {
        case sButton:
            VerticalGradient(x, y, w, h, s == 2 ? C(rShadow) : C(rLight), face);
            Outline(x, y, w, h, C(rDark), C(rDark));
            Outline(x + 1, y + 1, w - 2, h - 2, s == 2 ? C(rShadow) : C(rLight), s == 1 ? C(rAccent) : C(rShadow));
            RoundCorners(x, y, w, h);
            break;
        case sFrame:
            Fill(x, y, w, h, C(rWindow));
            Outline(x, y, w, h, s == 1 ? C(rAccent) : C(rShadow), s == 1 ? C(rAccent) : C(rShadow));
            break;
        case sRaised:
            Fill(x, y, w, h, C(rFace));
            Outline(x, y, w, h, C(rLight), C(rShadow));
            Outline(x + 1, y + 1, w - 2, h - 2, C(rFaceHot), Mix(C(rFace), C(rShadow), 0.5));
            break;
        case sSunken:
            Fill(x, y, w, h, C(rWindow));
            Outline(x, y, w, h, C(rShadow), C(rLight));
            Outline(x + 1, y + 1, w - 2, h - 2, Mix(C(rShadow), C(rDark), 0.5), C(rFace));
            break;
        case sBar:
            VerticalGradient(x, y, w, h, Mix(C(rAccent), C(rLight), 0.4), C(rAccent));
            Outline(x, y, w, h, C(rAccent), Mix(C(rAccent), C(rDark), 0.5));
            break;
        case sTab:
            VerticalGradient(x, y, w, h, C(rLight), face);
            Outline(x, y, w, h, C(rShadow), C(rShadow));
            Fill(x + 1, y + h - 1, w - 2, 1, face); // open towards the page
            if (s == 1) Fill(x + 1, y + 1, w - 2, 2, C(rAccent));
            RoundCorners(x, y, w, h);
            break;
        default:
            Glyph(im, x, y, w, h, s);
            break;
        }
    }

private:
    void Glyph(const TImage& im, int x, int y, int w, int h, int s)
    {
        Fill(x, y, w, h, Transparent);
        const uint32_t ink = s == 1 ? C(rAccent) : s == 2 ? C(rDark) : C(rText);
        const bool grayed = im.Shape == sBoxGrayed || im.Shape == sRadioGrayed;
        switch (im.Shape) {
        case sBoxChecked:
        case sBoxUnchecked:
        case sBoxGrayed:
            Fill(x, y, w, h, grayed ? C(rFace) : C(rWindow));
            Outline(x, y, w, h, s == 1 ? C(rAccent) : C(rShadow), s == 1 ? C(rAccent) : C(rShadow));
            if (im.Shape != sBoxUnchecked)
                for (int i = 0; i < 7; ++i) { // a tick
                    const int cx = x + 3 + i, cy = y + (i < 3 ? 6 + i : 10 - i);
                    Fill(cx, cy - 1, 1, 3, grayed ? C(rShadow) : C(rAccent));
                }
            break;
        case sRadioChecked:
        case sRadioUnchecked:
        case sRadioGrayed: {
            const double r = (w - 1) / 2.0;
            for (int j = 0; j < h; ++j)
                for (int i = 0; i < w; ++i) {
                    const double d = std::hypot(i - r, j - r);
                    if (d <= r + 0.3)
                        Px(x + i, y + j,
                           d > r - 1 ? (s == 1 ? C(rAccent) : C(rShadow))
                           : grayed  ? C(rFace)
                                     : C(rWindow));
                    if (im.Shape != sRadioUnchecked && d <= 2.3) Px(x + i, y + j, grayed ? C(rShadow) : C(rAccent));
                }
            break;
        }
        case sArrow:
            for (int j = 0; j < 4; ++j)
                Fill(x + 1 + j, y + 4 + j, w - 2 - 2 * j, 1, ink);
            break;
        case sArrowUp: // a triangle of rows 7, 5, 3 and 1 pixels long, its tip the way it points
        case sArrowDown:
        case sArrowLeft:
        case sArrowRight:
            for (int j = 0; j < 4; ++j) {
                const int length = 7 - 2 * j, from = 1 + j;
                if (im.Shape == sArrowDown) Fill(x + from, y + 3 + j, length, 1, ink);
                if (im.Shape == sArrowUp) Fill(x + from, y + 5 - j, length, 1, ink);
                if (im.Shape == sArrowRight) Fill(x + 3 + j, y + from, 1, length, ink);
                if (im.Shape == sArrowLeft) Fill(x + 5 - j, y + from, 1, length, ink);
            }
            break;
        case sGrip: // three rows of dots towards the bottom-right corner, each with a light edge
            for (int a = 0; a < 3; ++a)
                for (int b = 0; a + b < 3; ++b) {
                    const int px = x + w - 3 - 4 * a, py = y + h - 3 - 4 * b;
                    Fill(px, py, 2, 2, C(rShadow));
                    Px(px + 1, py + 1, C(rLight));
                }
            break;
        case sClose: {
            const uint32_t red = s == 0 ? 0xC0392B : s == 1 ? 0xE74C3C : 0x922B21;
            Fill(x + 1, y + 1, w - 2, h - 2, red);
            for (int i = 0; i < h - 6; ++i) {
                const int left = x + (w - (h - 6)) / 2 + i;
                Px(left, y + 3 + i, 0xFFFFFF);
                Px(x + w - 1 - (left - x), y + 3 + i, 0xFFFFFF);
            }
            break;
        }
        case sMax:
            Outline(x + 3, y + 2, w - 6, h - 4, ink, ink);
            Fill(x + 3, y + 3, w - 6, 1, ink);
            break;
        case sMin:
            Fill(x + 3, y + h - 4, w - 6, 2, ink);
            break;
        case sNorm:
            Outline(x + 5, y + 2, w - 8, h - 6, ink, ink);
            Outline(x + 3, y + 4, w - 8, h - 6, ink, ink);
            break;
        case sHelp:
            Fill(x + w / 2 - 1, y + h - 4, 2, 2, ink);
            Fill(x + w / 2 - 1, y + 5, 2, h - 10, ink);
            Outline(x + w / 2 - 3, y + 2, 6, 4, ink, ink);
            break;
        default:
            break;
        }
    }
    TPicture& p_;
    const TPalette& pal_;
};

const TImage& FindImage(const char* name)
{
    for (const TImage& im : Images)
        if (std::string(im.Name) == name) return im;
    throw std::runtime_error(std::string("layout: no image ") + name);
}

std::string Number(int v, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", digits, v);
    return buf;
}

// The image value of the skin text.
std::string ImageValue(const TImage& im)
{
    const int right = im.Left + im.States * im.FrameW, bottom = im.Top + im.FrameH;
    if (im.Glyph)
        return "@" + Number(im.Left, 4) + "@" + Number(im.Top, 4) + "@" + Number(right, 4) + "@" + Number(bottom, 4) +
               "@" + std::to_string(im.States) + "@0";
    const std::string b = Number(im.Border, 4);
    return "^" + Number(im.Left, 4) + "^" + Number(im.Top, 4) + "^" + Number(right, 4) + "^" + Number(bottom, 4) + "^" +
           b + "^" + b + "^" + b + "^" + b + "^" + std::to_string(im.States) + "^0^0^0";
}

std::string Gradient(TGradient g, const TPalette& pal)
{
    if (g == gNone) return "";
    const uint32_t from = g == gLightFace ? pal.Colors[rLight] : pal.Colors[rFace];
    const uint32_t to = g == gLightFace ? pal.Colors[rFace] : pal.Colors[rShadow];
    return SkinColor(from) + ";" + SkinColor(to) + ";100;0;0";
}

std::string Options(const TPalette& pal)
{
    std::ostringstream o;
    const auto c = [&](TRole r) { return SkinColor(pal.Colors[r]); };
    o << "[GLOBALINFO]\r\nVERSION=6.50\r\nAUTHOR=Tillora\r\nDESCRIPTION=" << pal.Description << "\r\n";
    o << "BORDERWIDTH=4\r\nTITLEHEIGHT=24\r\nMAXHEIGHT=0\r\nFORMOFFSET=4\r\nCENTEROFFSET=0\r\nBORDERMODE=0\r\n";
    o << "SHADOW1COLOR=" << c(rDark) << "\r\nSHADOW1OFFSET=1\r\nSHADOW1BLUR=-1\r\nSHADOW1TRANSPARENCY=60\r\n";
    o << "BISPACE=1\r\nBIVALIGN=0\r\nBIRIGHT=4\r\nBILEFT=4\r\nBITOP=4\r\nBORDERCOLOR=" << c(rShadow) << "\r\n";
    o << "BIKEEPHUE=2\r\nCOLOR=" << c(rFace) << "\r\nFONTCOLOR=" << c(rText) << "\r\nHOTCOLOR=" << c(rWindow) << "\r\n";
    o << "MASTERBITMAP=MASTER.BMP\r\n"; // a container entry is found by its upper-cased name
    for (const char* name : GlobalImages)
        o << name << "=" << ImageValue(FindImage(name)) << "\r\n";
    for (const TSection& s : Sections) {
        o << "[" << s.Name << "]\r\n";
        if (s.Parent) o << "PARENTCLASS=" << s.Parent << "\r\n";
        if (s.Color) o << "COLOR=" << c(s.Color) << "\r\n";
        if (s.HotColor) o << "HOTCOLOR=" << c(s.HotColor) << "\r\n";
        if (s.Font) o << "FONTCOLOR=" << c(s.Font) << "\r\n";
        if (s.HotFont) o << "HOTFONTCOLOR=" << c(s.HotFont) << "\r\n";
        if (s.Transparency >= 0) o << "TRANSPARENCY=" << s.Transparency << "\r\n";
        if (s.HotTransparency >= 0) o << "HOTTRANSPARENCY=" << s.HotTransparency << "\r\n";
        if (s.Gradient) o << "GRADIENTPERCENT=100\r\nGRADIENTDATA=" << Gradient(s.Gradient, pal) << "\r\n";
        if (s.HotGradient) o << "HOTGRADIENTPERCENT=100\r\nHOTGRADIENTDATA=" << Gradient(s.HotGradient, pal) << "\r\n";
        if (s.Border) o << "BORDERSMASK=" << ImageValue(FindImage(s.Border)) << "\r\n";
        if (s.Glyph) o << "GLYPHMASK=" << ImageValue(FindImage(s.Glyph)) << "\r\n";
        for (const char* fading : FadingSections)
            if (std::string(fading) == s.Name)
                o << "FADINGENABLED=TRUE\r\nFADINGITERATIONS=" << FadingIterations << "\r\n";
    }
    return o.str();
}

std::string Master(const TPalette& pal)
{
    TPicture master(MasterWidth, MasterHeight);
    TPainter painter(master, pal);
    for (const TImage& im : Images) {
        if (im.Left + im.States * im.FrameW > MasterWidth || im.Top + im.FrameH > MasterHeight)
            throw std::runtime_error(std::string("layout: image outside the master bitmap: ") + im.Name);
        for (int s = 0; s < im.States; ++s)
            painter.Frame(im, s);
    }
    return Bmp(master, 24, false);
}

// A form shadow: the body transparent, the margins fading out from the body's edge.
std::string Shadow(double strength)
{
    const int l = 11, t = 7, r = 11, b = 11;
    TPicture p(l + ShadowBody + r, t + ShadowBody + b);
    std::vector<uint8_t> alpha(p.Pixels.size(), 0);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const int dx = x < l ? l - x : x >= l + ShadowBody ? x - (l + ShadowBody - 1) : 0;
            const int dy = y < t ? t - y : y >= t + ShadowBody ? y - (t + ShadowBody - 1) : 0;
            const double reach = dx > 0 && dy > 0 ? std::hypot(dx, dy) : std::max(dx, dy);
            const double margin = dy > 0 && y < t ? t : 11;
            double a = reach <= 0 ? 0 : strength * std::pow(std::max(0.0, 1 - reach / (margin + 1)), 2);
            alpha[static_cast<size_t>(y) * p.Width + x] = static_cast<uint8_t>(std::lround(a * 255));
            p.At(x, y) = 0;
        }
    return PngWithAlpha(p, alpha);
}

// The light of animated gauges: white, its alpha a soft bulge, brightest in the middle of its
// length and of its height, fading out to both ends.
std::string GaugeLight()
{
    TPicture p(GaugeLightLength, GaugeLightHeight);
    std::vector<uint8_t> alpha(p.Pixels.size(), 0);
    const double pi = 3.14159265358979323846;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x) {
            const double along = std::sin(pi * (x + 0.5) / p.Width), across = std::sin(pi * (y + 0.5) / p.Height);
            const double a = 0.7 * along * along * (0.4 + 0.6 * across);
            alpha[static_cast<size_t>(y) * p.Width + x] = static_cast<uint8_t>(std::lround(a * 255));
            p.At(x, y) = 0xFFFFFF;
        }
    return PngWithAlpha(p, alpha);
}

std::vector<vtz::Entry> SkinFiles(const TPalette& pal)
{
    return {{"Options.dat", Options(pal), 9}, {"Master.bmp", Master(pal), 9}};
}

std::string ReadFile(const fs::path& file)
{
    std::ifstream f(file, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The raw data of the internal skin: its length (32 bits) and the container, in hex lines.
std::string DataLines(const std::string& container, const std::string& indent)
{
    const std::string raw = vtz::Int32(static_cast<long long>(container.size())) + container;
    static const char* hex = "0123456789ABCDEF";
    std::string out = "{";
    for (size_t i = 0; i < raw.size(); ++i) {
        if (i % 32 == 0) out += "\n" + indent;
        out += hex[static_cast<unsigned char>(raw[i]) >> 4];
        out += hex[static_cast<unsigned char>(raw[i]) & 15];
    }
    return out + "}";
}

std::string SplashForm(const std::string& templ, const std::string& name, const std::string& container)
{
    const std::string placeholder = "    InternalSkins = <>\n";
    const size_t at = templ.find(placeholder);
    if (at == std::string::npos) throw std::runtime_error("template: no line 'InternalSkins = <>'");
    if (templ.find("    SkinName = '" + name + "'\n") == std::string::npos)
        throw std::runtime_error("template: the skin name is not '" + name + "'");
    const std::string skins = "    InternalSkins = <\n      item\n        Name = '" + name +
                              "'\n        Data = " + DataLines(container, "          ") + "\n      end>\n";
    return templ.substr(0, at) + skins + templ.substr(at + placeholder.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: tilloraskins OUTPUT-FOLDER SPLASH-TEMPLATE\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        fs::remove_all(out / "Skins");
        fs::remove_all(out / "Internal");
        fs::create_directories(out / "Skins");
        fs::create_directories(out / "Internal");
        int internals = 0;
        for (const TPalette& pal : Palettes) {
            const std::vector<vtz::Entry> files = SkinFiles(pal);
            if (pal.Kind == kPacked) {
                Write(out / "Skins" / (std::string(pal.Name) + ".vtz"), vtz::Pack(files));
                continue;
            }
            const fs::path folder = (pal.Kind == kInternal ? out / "Internal" : out / "Skins") / pal.Name;
            fs::create_directories(folder);
            for (const vtz::Entry& e : files)
                Write(folder / e.name, e.data);
            if (pal.Kind == kInternal) {
                if (++internals > 1) throw std::runtime_error("layout: more than one internal skin");
                Write(out / "TInitForm.form",
                      SplashForm(ReadFile(argv[2]), std::string(pal.Name) + InternalSuffix, vtz::Pack(files)));
            }
        }
        if (internals != 1) throw std::runtime_error("layout: no internal skin");
        Write(out / "vxSHDA.png", Shadow(0.55));
        Write(out / "vxSHDI.png", Shadow(0.3));
        Write(out / "VXGL.png", GaugeLight());
        Write(out / "tilloraskins.stamp", "");
    } catch (const std::exception& e) {
        std::cerr << "tilloraskins: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
