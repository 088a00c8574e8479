// A scene on its own physics world and an unstarted renderer (its camera only, no GL):
// for the scene's logic without a game. Header only.
#pragma once

#include <memory>

#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

struct sMoxSceneWorld
{
    explicit sMoxSceneWorld(SCENE_MODE eMode = SCENE_MODE_PLAY, bool bGravity = true)
    {
        physics.Startup(1.0f / 30.0f, 4);
        if (!bGravity)
            physics.m_vGravity.Set(0.0f, 0.0f);
        renderer->SetScreenSize(800.0f, 600.0f);
        scene->Startup(nullptr, renderer.get(), &physics, eMode);
    }
    ~sMoxSceneWorld() { scene.reset(); }
    // A physics step, then the scene's.
    void Step()
    {
        physics.Simulate();
        scene->Update(1.0f / 30.0f);
    }
    CPlayer& Player(int i) { return scene->m_Players[i]; }

    CMoxPhysics physics;
    std::unique_ptr<CMoxRenderer> renderer{new CMoxRenderer()};
    std::unique_ptr<CMoxScene> scene{new CMoxScene()};
};
