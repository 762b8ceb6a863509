#include "shell/SparvWorld.h"

#include "math/Random.h"
#include "runtime/FXManager.h"

#include <limits>

SparvWorld::SparvWorld() : m_manager(FXManager::CreateWorld()) {
    // As the editor's own runtime: one update may advance an effect by any time.
    m_manager->SetMaxUpdateStep(std::numeric_limits<float>::max());
}

SparvWorld::~SparvWorld() {
    // The types let go of what they loaded, then the instances go before the types.
    FXManager* previous = FXManager::MakeCurrent(m_manager);
    m_manager->TypeReleaseAll();
    FXManager::MakeCurrent(previous);
    FXManager::DestroyWorld(m_manager);
}

void SparvWorld::SetTypes(std::vector<std::shared_ptr<FXType>> types) {
    m_types = std::move(types);
}

SparvWorld::Scope::Scope(SparvWorld& world)
    : m_world(world), m_previous(FXManager::MakeCurrent(world.m_manager)),
      m_previousRandom(RandomState()) {
    RandomSeed(world.m_random);
}

SparvWorld::Scope::~Scope() {
    m_world.m_random = RandomState();
    RandomSeed(m_previousRandom);
    FXManager::MakeCurrent(m_previous);
}
