#include "report/mixture_json.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

#include "solver/text.h"

namespace zolvant::report {

namespace {

void number(std::string& out, double v) { out += std::isfinite(v) ? shortestText(v) : std::string("null"); }

void number(std::string& out, const std::optional<double>& v) {
    if (v) number(out, *v);
    else out += "null";
}

template <class Vector>
void positions(std::string& out, const Vector& v, int m) {
    out += '[';
    for (int i = 0; i < m; ++i) {
        if (i > 0) out += ',';
        number(out, v[static_cast<std::size_t>(i)]);
    }
    out += ']';
}

void list(std::string& out, const std::vector<double>& v) {
    out += '[';
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (i > 0) out += ',';
        number(out, v[i]);
    }
    out += ']';
}

void notes(std::string& out, const MixtureReport& r) {
    out += "\"notes\":[";
    if (!r.ok) {
        out += jsonString(r.why);
    } else {
        for (std::size_t i = 0; i < r.notes.size(); ++i) {
            if (i > 0) out += ',';
            out += jsonString(r.notes[i]);
        }
    }
    out += ']';
}

void phase(std::string& out, const std::optional<PhaseReport>& p, int m) {
    if (!p) {
        out += "null";
        return;
    }
    out += "{\"x\":";
    positions(out, p->x, m);
    out += ",\"V\":";
    number(out, p->V);
    out += ",\"Z\":";
    number(out, p->Z);
    out += ",\"density\":";
    number(out, p->density);
    out += ",\"lnphi\":";
    positions(out, p->lnPhi, m);
    out += '}';
}

void pointTP(std::string& out, const char* key, const std::optional<ExtremePoint>& p) {
    out += ",\"";
    out += key;
    out += "\":";
    if (!p) {
        out += "null";
        return;
    }
    out += "{\"T\":";
    number(out, p->T);
    out += ",\"P\":";
    number(out, p->P);
    out += '}';
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    out += '"';
    return out;
}

std::string flashJsonLine(const MixtureReport& r) {
    const bool numbers = r.ok;
    std::string out = "{\"equation\":" + jsonString(r.equation);
    out += ",\"T\":";
    number(out, r.T);
    out += ",\"P\":";
    number(out, r.P);
    out += ",\"z\":";
    positions(out, r.z, r.m);
    out += ",\"kij\":[";
    for (int i = 0; i < r.m; ++i) {
        if (i > 0) out += ',';
        positions(out, r.kij[static_cast<std::size_t>(i)], r.m);
    }
    out += "],\"phases\":";
    if (numbers && r.phases > 0) out += std::to_string(r.phases);
    else out += "null";
    out += ",\"phase\":";
    out += numbers && r.phase ? jsonString(*r.phase) : std::string("null");
    out += ",\"beta\":";
    number(out, numbers ? r.beta : std::nullopt);
    out += ",\"liquid\":";
    phase(out, numbers ? r.liquid : std::nullopt, r.m);
    out += ",\"vapour\":";
    phase(out, numbers ? r.vapour : std::nullopt, r.m);
    const SaturationLists none;
    const SaturationLists& s = numbers ? r.saturation : none;
    out += ",\"bubbleP\":";
    list(out, s.bubbleP);
    out += ",\"dewP\":";
    list(out, s.dewP);
    out += ",\"bubbleT\":";
    list(out, s.bubbleT);
    out += ",\"dewT\":";
    list(out, s.dewT);
    out += ',';
    notes(out, r);
    out += '}';
    return out;
}

std::string envelopeJsonLine(const MixtureReport& r) {
    std::string out = "{\"equation\":" + jsonString(r.equation);
    out += ",\"points\":[";
    if (r.ok) {
        bool first = true;
        for (const EnvelopePoint& p : r.envelope.points) {
            if (!first) out += ',';
            first = false;
            out += '[';
            number(out, p.T);
            out += ',';
            number(out, p.P);
            out += ']';
        }
    }
    out += "],\"critical\":";
    if (r.ok && r.envelope.critical) {
        out += "{\"T\":";
        number(out, r.envelope.critical->T);
        out += ",\"P\":";
        number(out, r.envelope.critical->P);
        out += ",\"V\":";
        number(out, r.envelope.critical->V);
        out += '}';
    } else {
        out += "null";
    }
    pointTP(out, "cricondenbar", r.ok ? r.envelope.cricondenbar : std::nullopt);
    pointTP(out, "cricondentherm", r.ok ? r.envelope.cricondentherm : std::nullopt);
    out += ",\"notes\":[";
    if (!r.ok) {
        out += jsonString(r.why);
    } else {
        for (std::size_t i = 0; i < r.envelope.notes.size(); ++i) {
            if (i > 0) out += ',';
            out += jsonString(r.envelope.notes[i]);
        }
    }
    out += "]}";
    return out;
}

}  // namespace zolvant::report
