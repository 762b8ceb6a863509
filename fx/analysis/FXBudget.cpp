#include "FXBudget.h"

#include "FXEmission.h"
#include "FXOccupancy.h"
#include "FXRateCurve.h"
#include "definitions/FXStyle.h"
#include "runtime/FXManager.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <set>
#include <utility>

namespace {

constexpr double kForever = std::numeric_limits<double>::infinity();
// What a looping spray adds to its age at each wrap, and a ring once it has made its
// birth spawn.
constexpr double kWrapOffset = 0.00001;
// Bins of the longest effects; shorter ones get bins of a tenth of a step.
constexpr double kTargetBins = 20000.0;

// The parameters a style's rules need, read through the property interface (so proxies
// of the editor's document answer as well as the styles' own types). Ok() turns false
// at the first parameter that is missing or of another kind.
class Parameters {
public:
    explicit Parameters(const FXType& type) : m_type(type) {}

    double Float(const char* name) {
        const FXVariable value = Read(name, VARTYPE_FLOAT);
        return m_ok ? static_cast<double>(value.GetFloat()) : 0.0;
    }
    bool Bool(const char* name) {
        const FXVariable value = Read(name, VARTYPE_BOOL);
        return m_ok && value.GetBool();
    }
    std::string String(const char* name) {
        const FXVariable value = Read(name, VARTYPE_STRING);
        return m_ok ? value.String() : "";
    }
    std::vector<TimeFloat> Curve(const char* name) {
        const FXVariable value = Read(name, VARTYPE_ARRAY_TIMEFLOAT);
        const auto keys = value.TimeFloats();
        return {keys.begin(), keys.end()};
    }
    bool Ok() const { return m_ok; }

private:
    FXVariable Read(const char* name, VarType kind) {
        FXVariable value;
        if (!m_type.GetPropertyValue(name, value) || value.GetType() != kind)
            m_ok = false;
        return value;
    }

    const FXType& m_type;
    bool m_ok = true;
};

} // namespace

// The occupancy of one instance's subtree, per type and all together, measured from the
// instance's birth: the moment its age is 0, which for a particle lies up to one step
// before it is created (it is advanced by its delay at its first update).
struct FXBudget::Profile {
    std::map<std::string, FXOccupancy> types;
    FXOccupancy total;
    // When the instance is destroyed at the latest, after its birth; kForever when it may
    // never be. endless then names the chain down to the instance that never ends.
    double end = 0.0;
    std::vector<std::string> endless;
    // Set when the subtree can grow without end; chain leads there from this type.
    bool unbounded = false;
    bool cycleOpen = false; // chain ends at a type met again, not yet back at it
    std::vector<std::string> chain;
    std::string reason;
};

class FXBudget::Analysis {
public:
    Analysis(FXManager& manager, const FXBudgetOptions& options, const TypeLookup& lookup,
             bool partnersMayFail)
        : m_manager(manager), m_lookup(lookup), m_step(options.longestStep),
          m_shortestStep(options.shortestStep), m_width(options.binWidth),
          m_partnersMayFail(partnersMayFail) {}

    // The type an instance of name would be made of, or null when creating one fails
    // (no such type and no "badfx", or a light while lights are off).
    FXType* Child(const std::string& name) {
        if (name.empty())
            return nullptr;
        FXType* type = m_lookup ? m_lookup(name.c_str()) : m_manager.TypeFind(name.c_str());
        if (type && type->GetStyle() == STYLE_LIGHT && m_manager.GetLightLevel() < 0)
            return nullptr;
        return type;
    }

    // Bins of a tenth of a step, wider when the effect's durations add up to more than
    // the target number of bins.
    void ChooseBinWidth(FXType& root) {
        if (m_width > 0.0)
            return;
        double horizon = 0.0;
        std::set<std::string> seen;
        std::vector<FXType*> pending{&root};
        while (!pending.empty()) {
            FXType* type = pending.back();
            pending.pop_back();
            if (!seen.insert(type->GetName()).second)
                continue;
            horizon += 3.0 * DurationEstimate(*type) + 4.0 * m_step;
            std::vector<std::string> children;
            type->GetChildTypes(children);
            for (const std::string& name : children)
                if (FXType* child = Child(name))
                    pending.push_back(child);
        }
        m_width = std::max(m_step / 10.0, horizon / kTargetBins);
    }

    const Profile& Of(FXType& type, double stopBy) {
        const std::string& name = type.GetName();
        if (std::find(m_stack.begin(), m_stack.end(), name) != m_stack.end()) {
            Profile& cycle = m_transient.emplace_back();
            cycle.unbounded = true;
            cycle.cycleOpen = true;
            cycle.chain = {name};
            return cycle;
        }
        const auto key = std::make_pair(name, stopBy);
        if (const auto found = m_memo.find(key); found != m_memo.end())
            return found->second;
        m_stack.push_back(name);
        Profile profile = Compute(type, stopBy);
        m_stack.pop_back();
        if (profile.unbounded)
            return m_transient.emplace_back(std::move(profile));
        return m_memo.emplace(key, std::move(profile)).first->second;
    }

private:
    size_t BinOf(double time) const { return static_cast<size_t>(std::floor(time / m_width)); }

    // The fraction by which an age summed from float steps can fall behind the clock.
    double Drift(double age) const {
        const float a = static_cast<float>(std::max(age, 1.0));
        const double ulp =
            static_cast<double>(std::nextafter(a, std::numeric_limits<float>::max()) - a);
        return ulp * 0.5 / m_shortestStep;
    }
    // The clock at which an age is reached at the latest, and at the earliest.
    double Stretch(double age) const { return age * (1.0 + Drift(age)) + 1e-6; }
    double Shrink(double age) const { return std::max(age * (1.0 - Drift(age)) - 1e-6, 0.0); }

    double DurationEstimate(const FXType& type) {
        Parameters params(type);
        switch (type.GetStyle()) {
        case STYLE_SPRAY:
            return params.Float("Emitter_Duration");
        case STYLE_TRAIL:
            return params.Float("Duration") * (1.0 + params.Float("DurationEpsilon"));
        case STYLE_COMBO:
        case STYLE_CONDITIONAL:
            return 0.0;
        default:
            return params.Float("Duration");
        }
    }

    Profile Compute(FXType& type, double stopBy) {
        switch (type.GetStyle()) {
        case STYLE_SPRAY:
            return Spray(type, stopBy);
        case STYLE_RING:
            return Ring(type, stopBy);
        case STYLE_BEAM:
        case STYLE_LIGHT:
            return Timed(type, stopBy, true, false);
        case STYLE_TRAIL:
            return Timed(type, stopBy, false, false);
        case STYLE_HYPERSPACE:
            return Timed(type, stopBy, false, true);
        case STYLE_LENSFLARE:
            return Timed(type, stopBy, false, false);
        case STYLE_COMBO:
        case STYLE_CONDITIONAL:
            return Group(type, stopBy);
        default:
            return Opaque(type);
        }
    }

    // --- building blocks ------------------------------------------------------------

    // The instance itself, alive from its birth until end.
    void AddSelf(Profile& profile, const std::string& name, double end) const {
        const FXOccupancy self =
            end == kForever ? FXOccupancy(0, 0.0, 1.0) : FXOccupancy(BinOf(end) + 1, 1.0, 0.0);
        profile.types[name].Add(self);
        profile.total.Add(self);
    }

    // A child subtree born between lo and hi seconds after the instance, which lingers
    // until the subtree is gone.
    void AddChild(Profile& profile, const Profile& child, double lo, double hi) const {
        const size_t first = BinOf(lo);
        const size_t last = static_cast<size_t>(std::ceil(hi / m_width));
        const size_t spread = last > first ? last - first : 0;
        for (const auto& [name, occupancy] : child.types)
            profile.types[name].Add(occupancy.Delayed(first, spread));
        profile.total.Add(child.total.Delayed(first, spread));
        Linger(profile, hi + child.end, child);
    }

    // The instance lives until end, or until its last child's subtree is gone: the
    // manager destroys a finished instance in a step after the last of its children
    // (childEnd, since the instance's birth) is destroyed.
    void Linger(Profile& profile, double childEnd, const Profile& child) const {
        const double end = childEnd == kForever ? kForever : childEnd + m_step;
        if (end > profile.end) {
            profile.end = end;
            if (end == kForever && profile.endless.empty())
                profile.endless = child.endless;
        }
    }

    // Closes the profile of an instance named name: its own occupancy until its end.
    void Finish(Profile& profile, const std::string& name) const {
        if (profile.end == kForever)
            profile.endless.insert(profile.endless.begin(), name);
        AddSelf(profile, name, profile.end);
    }

    // The profile of name when a child's subtree can grow without end.
    static Profile Unbounded(const std::string& name, const Profile& child) {
        Profile profile;
        profile.unbounded = true;
        profile.chain = child.chain;
        profile.chain.insert(profile.chain.begin(), name);
        profile.reason = child.reason;
        profile.cycleOpen = child.cycleOpen;
        if (child.cycleOpen && child.chain.back() == name) {
            profile.cycleOpen = false;
            profile.reason = "'" + name + "' spawns itself without end: " + Joined(profile.chain);
        }
        return profile;
    }

    static std::string Joined(const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names)
            text += (text.empty() ? "" : " -> ") + name;
        return text;
    }

    // --- the styles ------------------------------------------------------------------

    // A type whose rules cannot be read: one instance that may never end, or, for the
    // styles that create instances, an unknown number of them.
    Profile Opaque(FXType& type) {
        Profile profile;
        const int style = type.GetStyle();
        if (style == STYLE_SPRAY || style == STYLE_RING || style == STYLE_COMBO ||
            style == STYLE_CONDITIONAL || style < 0 || style >= kStyleCount) {
            profile.unbounded = true;
            profile.chain = {type.GetName()};
            profile.reason = "the definition of '" + type.GetName() + "' cannot be read";
            return profile;
        }
        profile.end = kForever;
        Finish(profile, type.GetName());
        return profile;
    }

    // Styles without children that live their Duration: beam and light (loopable, a
    // looping one ends when stopped), trail (a random stretch of its duration), hyperspace
    // (ends when stopped) and lens flare.
    Profile Timed(FXType& type, double stopBy, bool loopable, bool endsWhenStopped) {
        Parameters params(type);
        double duration = params.Float("Duration");
        if (type.GetStyle() == STYLE_TRAIL)
            duration *= 1.0 + params.Float("DurationEpsilon");
        const bool loop = loopable && params.Bool("Loop");
        if (!params.Ok())
            return Opaque(type);
        Profile profile;
        if (loop)
            profile.end = stopBy + m_step;
        else if (!(duration > 0.0))
            profile.end = m_step; // ends at its first update
        else
            profile.end = Stretch(duration) + m_step;
        if (endsWhenStopped)
            profile.end = std::min(profile.end, stopBy + m_step);
        Finish(profile, type.GetName());
        return profile;
    }

    // A ring lives Duration seconds of its age, which its rate factor (1 or more) only
    // shortens; while looping until stopped. Its birth spawn is born at its first update,
    // its death spawn at the step before its last (the spawn is advanced by that step).
    Profile Ring(FXType& type, double stopBy) {
        Parameters params(type);
        const double duration = params.Float("Duration");
        const bool loop = params.Bool("Loop");
        const double rateEpsilon = params.Float("RateEpsilon");
        const std::string birthName = params.String("BirthSpawn_Fx");
        const std::string deathName = params.String("Spawn_Fx");
        if (!params.Ok())
            return Opaque(type);
        const std::string& name = type.GetName();
        Profile profile;
        profile.end = loop ? stopBy + m_step : Stretch(duration) + m_step;

        if (FXType* birth = Child(birthName)) {
            // A looping ring stopped before its first update makes no birth spawn; any
            // other birth spawn may be made after the stop, so it is not stopped.
            const Profile& child = Of(*birth, loop ? stopBy : kForever);
            if (child.unbounded)
                return Unbounded(name, child);
            AddChild(profile, child, 0.0, m_step);
        }
        if (FXType* death = Child(deathName); death && !loop) {
            const Profile& child = Of(*death, kForever);
            if (child.unbounded)
                return Unbounded(name, child);
            const double earliest =
                std::max(Shrink((duration - kWrapOffset) / (1.0 + rateEpsilon)) - m_step, 0.0);
            const double latest = Stretch(duration);
            AddChild(profile, child, earliest, latest);
        }
        Finish(profile, name);
        return profile;
    }

    // Combo and conditional: their children are born with them (up to a step later, when
    // the group is a particle: its children are advanced by nothing at their first
    // update), and a group ends a step after its last child is gone. A conditional stops
    // the survivor a step after the other child is gone; a stop reaches all children.
    Profile Group(FXType& type, double stopBy) {
        const std::string& name = type.GetName();
        static constexpr const char* kComboNames[] = {"Fx1", "Fx2", "FX3", "FX4",
                                                      "FX5", "FX6", "FX7", "FX8"};
        const size_t count = type.GetStyle() == STYLE_CONDITIONAL ? 2 : std::size(kComboNames);
        Parameters params(type);
        std::vector<FXType*> children;
        for (size_t i = 0; i < count; ++i)
            if (FXType* child = Child(params.String(kComboNames[i])))
                children.push_back(child);
        if (!params.Ok())
            return Opaque(type);

        std::vector<double> stops(children.size(), stopBy);
        if (type.GetStyle() == STYLE_CONDITIONAL && children.size() == 2 && !m_partnersMayFail) {
            const Profile& first = Of(*children[0], stopBy);
            if (first.unbounded)
                return Unbounded(name, first);
            const Profile& second = Of(*children[1], stopBy);
            if (second.unbounded)
                return Unbounded(name, second);
            // Both children are born at the same moment; the conditional notices that one
            // is gone at its next update.
            stops[0] = std::min(stopBy, second.end + m_step);
            stops[1] = std::min(stopBy, first.end + m_step);
        }

        Profile profile;
        profile.end = m_step; // with no child it ends at its first update
        for (size_t i = 0; i < children.size(); ++i) {
            const Profile& child = Of(*children[i], stops[i]);
            if (child.unbounded)
                return Unbounded(name, child);
            AddChild(profile, child, 0.0, m_step);
        }
        Finish(profile, name);
        return profile;
    }

    // A spray emits while it lives: Emitter_Rate per second of its clock, at the rate of
    // its current emitter time, the fraction carried over; particles are born along the
    // step that created them. Force_First adds one particle at the first update.
    Profile Spray(FXType& type, double stopBy) {
        Parameters params(type);
        const double duration = params.Float("Emitter_Duration");
        const bool loop = params.Bool("Emitter_Loop");
        const bool forceFirst = params.Bool("Force_First");
        const std::string particleName = params.String("Particle_Fx");
        const FXRateCurve rate(params.Curve("Emitter_Rate"), duration, loop, Drift(duration));
        if (!params.Ok())
            return Opaque(type);
        const std::string& name = type.GetName();
        Profile profile;
        profile.end =
            loop ? stopBy + m_step : std::min(Stretch(duration) + m_step, stopBy + m_step);

        FXType* particleType = Child(particleName);
        if (!particleType || !(rate.Highest() > 0.0 || forceFirst)) {
            Finish(profile, name);
            return profile;
        }
        // A stop reaches every particle born before it.
        const Profile& particle = Of(*particleType, stopBy);
        if (particle.unbounded)
            return Unbounded(name, particle);

        const size_t forcedSpread = static_cast<size_t>(std::ceil(m_step / m_width));
        if (!(rate.Highest() > 0.0)) {
            // Without a positive rate the carried fraction never makes a particle: only the
            // forced ones are born, within the first step.
            for (const auto& [childName, occupancy] : particle.types)
                profile.types[childName].Add(occupancy.Delayed(0, forcedSpread));
            profile.total.Add(particle.total.Delayed(0, forcedSpread));
            Linger(profile, m_step + particle.end, particle);
            Finish(profile, name);
            return profile;
        }

        // Births happen up to lastBirth, and certainly go on until surelyUntil.
        const double lastBirth = loop ? stopBy : std::min(Stretch(duration) + m_step, stopBy);
        const double surelyUntil =
            loop ? stopBy - m_step : std::min(Shrink(duration), stopBy - m_step);
        if (lastBirth == kForever && particle.end == kForever) {
            Profile unbounded;
            unbounded.unbounded = true;
            unbounded.chain = particle.endless;
            unbounded.chain.insert(unbounded.chain.begin(), name);
            unbounded.reason = "'" + name + "' emits for ever and its particles never end: " +
                               Joined(unbounded.chain);
            return unbounded;
        }

        size_t particleBins = particle.total.Size();
        for (const auto& [childName, occupancy] : particle.types)
            particleBins = std::max(particleBins, occupancy.Size());
        size_t bins = 0;
        size_t steadyFrom = 0; // bins from here on repeat for ever (0: nothing repeats)
        if (lastBirth != kForever && particle.end != kForever) {
            bins = BinOf(lastBirth + particle.end) + 2;
        } else if (lastBirth != kForever) {
            bins = BinOf(lastBirth) + particleBins + 3;
            steadyFrom = bins - 1;
        } else {
            // A looping emitter: one period after the particles alive have all been born
            // in the steady rhythm, the occupancy repeats with the period.
            const double period = duration > kWrapOffset ? duration - kWrapOffset : m_width;
            const double warm = particle.end + period + 3.0 * m_step + 5.0 * m_width;
            steadyFrom = BinOf(warm);
            bins = BinOf(warm + period) + 3;
        }

        std::vector<double> upper(bins + 1, 0.0);
        std::vector<double> lower(bins + 1, 0.0);
        bool mayHaveStopped = false; // a rate that is no number stops the emitter for good
        for (size_t i = 0; i <= bins; ++i) {
            const double a = static_cast<double>(i) * m_width;
            const double b = a + m_width;
            if (a >= lastBirth)
                break;
            double low = 0.0;
            double high = 0.0;
            // The rate applied to a moment is the one of the update that ends its step.
            mayHaveStopped = !rate.Range(a, b + m_step, low, high) || mayHaveStopped;
            upper[i] = m_width * std::max(high, 0.0) * (1.0 + 1e-6);
            const double lowRate = low * (low > 0.0 ? 1.0 - 1e-6 : 1.0 + 1e-6);
            // Forced updates give one particle instead of the rate's; past surelyUntil
            // the emitter may have stopped.
            const double sure =
                forceFirst && a < m_step ? 0.0 : std::clamp(surelyUntil - a, 0.0, m_width);
            lower[i] =
                mayHaveStopped ? 0.0 : sure * lowRate + (m_width - sure) * std::min(lowRate, 0.0);
        }
        const FXEmission emission(upper, lower);
        auto particles = [&](const FXOccupancy& one) {
            FXOccupancy all = emission.Spread(one, bins);
            if (steadyFrom > 0) {
                double tail = 0.0;
                for (size_t j = steadyFrom; j < bins; ++j)
                    tail = std::max(tail, all.At(j));
                all.SetTail(tail);
            }
            if (forceFirst)
                all.Add(one.Delayed(0, forcedSpread));
            return all;
        };
        for (const auto& [childName, occupancy] : particle.types)
            profile.types[childName].Add(particles(occupancy));
        profile.total.Add(particles(particle.total));
        Linger(profile, lastBirth == kForever ? kForever : lastBirth + particle.end, particle);
        if (forceFirst)
            Linger(profile, m_step + particle.end, particle);
        Finish(profile, name);
        return profile;
    }

    FXManager& m_manager;
    const TypeLookup& m_lookup;
    double m_step;
    double m_shortestStep;
    double m_width;
    bool m_partnersMayFail;
    std::map<std::pair<std::string, double>, Profile> m_memo;
    std::deque<Profile> m_transient; // unbounded profiles, which depend on the path
    std::vector<std::string> m_stack;
};

FXBudget::FXBudget(FXManager& manager, const FXBudgetOptions& options, TypeLookup lookup)
    : m_manager(manager), m_options(options), m_lookup(std::move(lookup)) {}

FXBudget::~FXBudget() = default;

namespace {

// A whole count below a bound: at most its integer part (the small allowance absorbs
// rounding in sums of bounds that are whole).
uint64_t CountBelow(double bound, uint64_t ceiling) {
    if (!(bound < static_cast<double>(ceiling)))
        return ceiling;
    return static_cast<uint64_t>(std::floor(bound + 1e-6));
}

} // namespace

FXBudgetResult FXBudget::Analyse(const char* name) {
    FXBudgetResult result;
    const uint64_t ceiling = m_manager.GetInstanceCeiling();
    Analysis analysis(m_manager, m_options, m_lookup, false);
    FXType* root = analysis.Child(name ? name : "");
    if (!root)
        return result;
    analysis.ChooseBinWidth(*root);
    const Profile& profile = analysis.Of(*root, kForever);
    if (profile.unbounded) {
        result.bounded = false;
        result.chain = profile.chain;
        result.reason = profile.reason;
        return result;
    }
    auto fill = [&](const Profile& from) {
        result.total = CountBelow(from.total.Peak(), ceiling);
        result.types.clear();
        for (const auto& [typeName, occupancy] : from.types)
            result.types[typeName] = CountBelow(occupancy.Peak(), ceiling);
    };
    fill(profile);
    if (result.total < ceiling)
        return result;

    // At the ceiling the runtime refuses instances, and a conditional whose first child
    // was refused lets the second run alone: count again without partners' stops.
    result.atCeiling = true;
    Analysis alone(m_manager, m_options, m_lookup, true);
    alone.ChooseBinWidth(*root);
    const Profile& pessimistic = alone.Of(*root, kForever);
    if (pessimistic.unbounded) {
        for (auto& [typeName, count] : result.types)
            count = ceiling;
    } else {
        fill(pessimistic);
    }
    result.total = ceiling;
    return result;
}
