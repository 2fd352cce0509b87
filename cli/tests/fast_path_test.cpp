// The fast path of zolvant-cli solve against the QJson path it replaces: the
// same case or the same message for every line of a large generated batch
// (plain lines and every kind of oddity), the same answer bytes, the same
// output from the executable on all cores, and an answer for each line as
// soon as it is sent.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "report/case_parser.h"
#include "report/case_report.h"
#include "cli/tests/support.h"

namespace zolvant::cli {
namespace {

using namespace report;  // the case and its written forms

using test::CliRun;
using test::runCli;

// Lines of the case format, most plain, many not: random key order and
// blanks, numbers in every JSON form and some that are not JSON, escapes,
// non-ASCII and broken UTF-8, repeated and unknown keys, names.
class LineMaker {
public:
    explicit LineMaker(unsigned seed) : rng_(seed) {}

    QByteArray line(bool names) {
        std::vector<std::string> members;
        if (chance(90)) members.push_back(key("temperature") + box(temperatures_));
        if (chance(90)) members.push_back(key("pressure") + box(pressures_));
        if (chance(97)) {
            std::string list = "[";
            const int n = pick(chance(95) ? 5 : 7);
            for (int i = 0; i < n; ++i) list += (i ? "," + blank() : "") + component(names);
            members.push_back(key("components") + list + blank() + "]");
        }
        if (chance(3)) members.push_back(key(pickOf(oddKeys_)) + "1");
        if (chance(2) && !members.empty()) members.push_back(members.front());  // a key twice
        std::shuffle(members.begin(), members.end(), rng_);
        std::string s = blank() + "{" + blank();
        for (std::size_t i = 0; i < members.size(); ++i) s += (i ? "," + blank() : "") + members[i];
        s += blank() + "}" + blank();
        if (chance(2)) s += pickOf(garbage_);
        if (chance(1)) s = s.substr(0, static_cast<std::size_t>(pick(static_cast<int>(s.size()) + 1)));
        return QByteArray::fromStdString(s);
    }

private:
    bool chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(rng_) < percent; }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    template <class T>
    const T& pickOf(const std::vector<T>& v) { return v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))]; }
    std::string blank() { return chance(70) ? "" : chance(98) ? pickOf(blanks_) : pickOf(oddBlanks_); }
    std::string key(const std::string& k) { return "\"" + k + "\"" + blank() + ":" + blank(); }
    std::string box(const std::vector<std::string>& texts) {
        if (chance(15)) return pickOf(numbers_);
        if (chance(3)) return pickOf(odd_);
        return "\"" + pickOf(texts) + "\"";
    }
    std::string component(bool names) {
        std::vector<std::string> members;
        const char* constants[] = {"Tc", "Pc", "omega", "K1", "K2", "K3"};
        const double typical[] = {400, 40, 0.1, 0.03, 0.5, 0.4};
        for (int p = 0; p < 6; ++p) {
            if (!chance(75)) continue;
            std::string v = chance(85) ? shortest(typical[p] * std::uniform_real_distribution<double>(0.5, 1.5)(rng_))
                            : chance(60) ? pickOf(numbers_)
                                         : pickOf(odd_);
            members.push_back(key(constants[p]) + v);
        }
        if (names && chance(40)) members.push_back(key("name") + pickOf(names_));
        if (chance(80)) members.push_back(key("fraction") + box(fractions_));
        if (chance(2)) members.push_back(key(pickOf(oddKeys_)) + "0");
        if (chance(2) && !members.empty()) members.push_back(members.back());
        std::shuffle(members.begin(), members.end(), rng_);
        std::string s = "{" + blank();
        for (std::size_t i = 0; i < members.size(); ++i) s += (i ? "," + blank() : "") + members[i];
        return chance(1) ? "[1]" : s + blank() + "}";
    }
    static std::string shortest(double v) { return std::to_string(v).substr(0, 7); }

    std::mt19937 rng_;
    const std::vector<std::string> blanks_ = {" ", "  ", "\t", "\r", "\n", " \r\n "};
    const std::vector<std::string> oddBlanks_ = {"\f", "\v", "\xc2\xa0"};
    const std::vector<std::string> temperatures_ = {"26.85", "-50", "100.5", "", " 12 ", "1e2", "abc", "-300", "-273.15"};
    const std::vector<std::string> pressures_ = {"1", "0", "-1", "60", "5.5", "", "x1", "1e-3", "0.0001"};
    const std::vector<std::string> fractions_ = {"0.5", "0.25", "0", "1", ".5", "0.3333", "abc", "", "-0.5", "0.5x"};
    const std::vector<std::string> numbers_ = {"0",        "-0",       "1",   "26.85",     "1e2",   "1E+2",  "-1.5e-3",
                                               "12345678901234567890", "9007199254740993", "0.1", "1e400", "1e-400",
                                               "-0.0",     "5e-324",   "123456789", "3.0",  "-7"};
    const std::vector<std::string> odd_ = {"01",     "1.",      ".5",       "+1",      "-",        "1e",   "0x10", "NaN",
                                           "true",   "null",    "[1]",      "{}",      "\"a\\\"b\"", "\"\\u00e9\"",
                                           "\"\xc3\xa4\"", "\"\xff\"", "\"tab\there\"", "\"\\n\"", "\"\\ud800\"",
                                           "\"\\/\""};
    const std::vector<std::string> names_ = {"\"Methane\"", "\"Ethane\"", "\"Unknown\"", "\"Broken\"", "null", "3",
                                             "\"Meth\\u0061ne\"", "\"M\xc3\xa9thane\""};
    const std::vector<std::string> oddKeys_ = {"omgea", "Name", "", "tc", "\xc3\xa4"};
    const std::vector<std::string> garbage_ = {"x", ",", "}", "{}", "\"", "\x00", "//"};
};

std::optional<ComponentConstants> lookup(const QString& name) {
    if (name == QStringLiteral("Broken")) throw LookupFailure{QStringLiteral("the database does not open")};
    if (name == QStringLiteral("Methane")) return ComponentConstants{190.56, 45.99, 0.011, -0.00159, std::nullopt, 0.5};
    if (name == QStringLiteral("M\u00e9thane")) return ComponentConstants{191.0, 46.0, 0.012, std::nullopt, 0.2, 0.3};
    if (name == QStringLiteral("Ethane")) return ComponentConstants{305.32, 48.72, std::nullopt, 0.02669, 0.1, 0.4};
    return std::nullopt;
}

void expectSameCase(const Case& a, const Case& b) {
    EXPECT_EQ(a.names, b.names);
    EXPECT_EQ(a.input.temperature, b.input.temperature);
    EXPECT_EQ(a.input.pressure, b.input.pressure);
    ASSERT_EQ(a.input.components.size(), b.input.components.size());
    for (std::size_t k = 0; k < a.input.components.size(); ++k) {
        EXPECT_EQ(a.input.components[k].fraction, b.input.components[k].fraction) << "component " << k + 1;
        for (std::size_t p = 0; p < 6; ++p) {
            const auto& x = a.input.components[k].constants[p];
            const auto& y = b.input.components[k].constants[p];
            ASSERT_EQ(x.has_value(), y.has_value()) << "component " << k + 1 << " constant " << p;
            // Bit for bit: -0 and 0 differ.
            if (x) {
                EXPECT_EQ(std::signbit(*x), std::signbit(*y));
                EXPECT_EQ(*x, *y) << "component " << k + 1 << " constant " << p;
            }
        }
    }
}

TEST(CaseFastPath, SameCaseMessageAndAnswerAsTheQJsonPath) {
    LineMaker maker(20261210);
    int plain = 0, errors = 0;
    for (int i = 0; i < 20000; ++i) {
        const QByteArray line = maker.line(true);
        SCOPED_TRACE(line.toStdString());
        const auto fast = parseCase(line, lookup);
        const auto slow = parseCaseByQJson(line, lookup);
        ASSERT_EQ(fast.index(), slow.index());
        if (const auto* message = std::get_if<QString>(&slow)) {
            EXPECT_EQ(std::get<QString>(fast), *message);
            ++errors;
        } else {
            expectSameCase(std::get<Case>(fast), std::get<Case>(slow));
            ++plain;
        }
        const CaseReport r = evaluateLine(line, QStringLiteral("line 7"), lookup);
        ASSERT_EQ(toJsonLine(r), toJsonLineByQJson(r));
    }
    // Both kinds in earnest.
    EXPECT_GT(plain, 5000);
    EXPECT_GT(errors, 2000);
}

TEST(CaseFastPath, ExecutableWritesTheQJsonAnswersInOrder) {
    // More cases than one block, so that they are solved on every core.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LineMaker maker(7);
    QByteArray input, expected, expectedPiped;
    for (int n = 1; n <= 6000; ++n) {
        QByteArray line = maker.line(false);
        line.replace('\n', ' ');
        line += "\n";  // read with its line end, as every line is
        input += line;
        if (line.trimmed().isEmpty()) continue;
        expected += toJsonLineByQJson(evaluateLine(line, QStringLiteral("cases.jsonl, line %1").arg(n))) + "\n";
        expectedPiped += toJsonLineByQJson(evaluateLine(line, QStringLiteral("line %1").arg(n))) + "\n";
    }
    QFile f(dir.filePath("cases.jsonl"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(input);
    f.close();
    const CliRun r = runCli({"solve", f.fileName()});
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.exitCode, 1);  // some lines are not cases
    const CliRun piped = runCli({"solve"}, input);
    EXPECT_EQ(piped.out, expectedPiped);
}

TEST(CaseFastPath, EachAnswerArrivesBeforeTheNextCaseIsSent) {
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZOLVANT_CLI_PATH), {QStringLiteral("solve")});
    ASSERT_TRUE(p.waitForStarted());
    const QByteArray cases[] = {
        R"({"temperature": "26.85", "pressure": "1", "components": [{"Tc": 425.1, "Pc": 37.96, "omega": 0.2}]})",
        R"({"temperature": "26.85", "pressure": "0", "components": [{"Tc": 425.1, "Pc": 37.96}]})",
        "not a case",
    };
    for (const QByteArray& c : cases) {
        p.write(c + "\n");
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (!answer.endsWith('\n') && timer.elapsed() < 20000) {
            p.waitForReadyRead(1000);
            answer += p.readAllStandardOutput();
        }
        EXPECT_EQ(answer, toJsonLineByQJson(evaluateLine(c, QStringLiteral("line %1").arg(&c - cases + 1))) + "\n");
    }
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
}

}  // namespace
}  // namespace zolvant::cli
