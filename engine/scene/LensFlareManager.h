#pragma once

// The scene's lens flares: objects placed by their owners, each naming the flare
// definition it is drawn with. Objects are created, moved, faded, scaled, shown and
// deleted here; Render draws every visible one over the picture.
//
// A flare definition is a Lua table of elements, each a sprite placed on the line from
// the flare's place on the picture through the picture's centre (position 0 at the
// flare, 1 at the centre, 2 mirrored beyond it), with a size (a fraction of the picture's
// height, times the object's scale) and a colour (its alpha times the object's fade):
//
//   flare = { elements = {
//       { texture = "Data:art/fx/flare_glow.tga", position = 0, size = 0.3,
//         colour = {1, 0.9, 0.7, 1} },
//       ...
//   } }

#include "math/Math.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class LensFlareManager {
public:
    // One placed flare.
    struct Object {
        std::string fileName;  // flare definition, as the owner named it
        Vector3 position;      // world position; for an infinite flare a unit direction
        bool infinite = false; // drawn on the background, from a direction, not a place
        float fade = 1.0f;     // 0.0 (invisible) to 1.0 (full strength)
        float scale = 1.0f;    // size factor of the whole flare, never negative
        bool visible = true;
    };

    // Creates the manager; always true, and a second call keeps the running one.
    static bool Startup();
    // Destroys the manager with every object.
    static void Shutdown();
    // The manager, or null before Startup and after Shutdown.
    static LensFlareManager* Instance() { return s_instance; }

    // A new object, visible, with fade and scale 1.0. Object numbers are never 0 and
    // never reused while the manager runs, so a deleted object's number reaches nothing.
    // An empty or unreadable file name still makes an object; it draws nothing.
    uint32_t ObjectCreate(const char* fileName, const Vector3& position, bool infinite);
    // The setters ignore numbers that name no object (0 among them).
    void ObjectSetPosition(uint32_t number, const Vector3& position);
    // Clamped to 0.0 to 1.0.
    void ObjectSetFade(uint32_t number, float fade);
    // Negative values become 0.0.
    void ObjectSetScale(uint32_t number, float scale);
    void ObjectSetVisible(uint32_t number, bool visible);
    void ObjectDelete(uint32_t number);

    // The object of a number, or null.
    const Object* ObjectFind(uint32_t number) const;
    size_t ObjectCount() const { return m_objects.size(); }
    // Every object by number, in creation order.
    const std::map<uint32_t, Object>& Objects() const { return m_objects; }

    // Draws every visible object on the current render device, whose matrices must map
    // 0..1 to the picture: view and projection place the objects. Definitions and their
    // textures are loaded on first use; a missing file or texture draws nothing of it.
    // brightness multiplies every element's alpha.
    void Render(const Matrix4& view, const Matrix4& projection, float brightness);

private:
    struct Definitions;
    LensFlareManager();
    ~LensFlareManager();
    LensFlareManager(const LensFlareManager&) = delete;
    LensFlareManager& operator=(const LensFlareManager&) = delete;

    Object* Find(uint32_t number);

    static LensFlareManager* s_instance;

    std::map<uint32_t, Object> m_objects;
    uint32_t m_lastNumber = 0;
    std::unique_ptr<Definitions> m_definitions; // loaded flare files, by name
};
