#include "camerawalks.h"

#include "samplerng.h"

#include <algorithm>
#include <cmath>

namespace SampleGen
{

using ksr::Point3f;

namespace
{

constexpr float degree = 3.14159265358979f / 180.0f;
constexpr float eyeHeight = 1.65f;

enum class WalkKind { Orbit, Street, CloseUp, HighOrbit };

struct WalkContext {
    const SampleScene &scene;
    SampleRng &rng;
    QSize landscape;
    float orbitStart = 0.0f; // degrees, shared by both orbits so they cover different sides
};

QSize orientedSize(QSize landscape, bool portrait)
{
    return portrait ? QSize(landscape.height(), landscape.width()) : landscape;
}

Point3f onCircle(const Point3f &centre, float radius, float degrees, float height)
{
    return {centre.x + radius * std::cos(degrees * degree), centre.y + radius * std::sin(degrees * degree),
            height};
}

float fraction(int i, int count)
{
    return count > 1 ? float(i) / float(count - 1) : 0.5f;
}

void orbitWalk(WalkContext &ctx, int count, bool high, std::vector<PlannedShot> &shots)
{
    SampleRng &rng = ctx.rng;
    const float radius = high ? 40.0f : 64.0f;
    const float height = high ? 32.0f : float(rng.uniform(14.0, 20.0));
    const float start = high ? ctx.orbitStart + 180.0f : ctx.orbitStart;
    const float span = high ? 90.0f : 110.0f;
    const Point3f target =
        high ? Point3f{0, 0, 0}
             : Point3f{float(rng.uniform(-4, 4)), float(rng.uniform(-4, 4)), float(rng.uniform(3, 5))};
    for (int i = 0; i < count; ++i) {
        PlannedShot shot;
        const Point3f centre = onCircle({0, 0, 0}, radius, start + span * fraction(i, count), height);
        const Point3f aim = target + Point3f{float(rng.uniform(-2, 2)), float(rng.uniform(-2, 2)), 0};
        shot.camera =
            lookAtCamera(centre, aim, float(rng.uniform(-1.5, 1.5)), ctx.landscape, high ? 35.0f : 28.0f);
        shots.push_back(shot);
    }
}

void streetWalk(WalkContext &ctx, int count, std::vector<PlannedShot> &shots)
{
    SampleRng &rng = ctx.rng;
    // Along one of the two streets, from the edge of the scene into the square.
    const int direction = rng.below(4);
    const Point3f forward = direction == 0   ? Point3f{1, 0, 0}
                            : direction == 1 ? Point3f{-1, 0, 0}
                            : direction == 2 ? Point3f{0, 1, 0}
                                             : Point3f{0, -1, 0};
    const Point3f side{-forward.y, forward.x, 0};
    const float lateral = float(rng.uniform(-2.0, 2.0));
    for (int i = 0; i < count; ++i) {
        PlannedShot shot;
        shot.portrait = i % 3 == 2;
        const float distance = 52.0f - 44.0f * fraction(i, count);
        Point3f centre = forward * -distance + side * (lateral + float(rng.uniform(-0.5, 0.5)));
        centre.z = eyeHeight + float(rng.uniform(-0.05, 0.05));
        const float yaw = float(rng.uniform(-18.0, 18.0)) * degree;
        const float pitch = float(rng.uniform(2.0, 10.0)) * degree;
        const Point3f heading = forward * std::cos(yaw) + side * std::sin(yaw);
        const Point3f target = centre + heading * 20.0f + Point3f{0, 0, 20.0f * std::tan(pitch)};
        shot.camera = lookAtCamera(centre, target, float(rng.uniform(-2.0, 2.0)),
                                   orientedSize(ctx.landscape, shot.portrait), 24.0f);
        shots.push_back(shot);
    }
}

void closeUpWalk(WalkContext &ctx, int count, std::vector<PlannedShot> &shots)
{
    SampleRng &rng = ctx.rng;
    std::vector<const SceneObject *> buildings;
    for (const SceneObject &o : ctx.scene.objects)
        if (o.kind == QLatin1String("building"))
            buildings.push_back(&o);
    if (buildings.empty()) {
        orbitWalk(ctx, count, false, shots);
        return;
    }
    // Photograph the wall that faces the nearer street from the street's far lane, walking along it;
    // one of the three buildings closest to a street.
    auto wallX = [](const SceneObject *b) { return b->min.x > 0.0f ? b->min.x : b->max.x; };
    auto wallY = [](const SceneObject *b) { return b->min.y > 0.0f ? b->min.y : b->max.y; };
    auto streetDistance = [&](const SceneObject *b) {
        return std::min(std::fabs(wallX(b)), std::fabs(wallY(b)));
    };
    std::stable_sort(buildings.begin(), buildings.end(), [&](const SceneObject *a, const SceneObject *b) {
        return streetDistance(a) < streetDistance(b);
    });
    const SceneObject &building = *buildings[std::size_t(rng.below(std::min(3, int(buildings.size()))))];
    const bool facesX =
        std::fabs(wallX(&building)) <= std::fabs(wallY(&building)); // wall in a plane x = const
    const float wall = facesX ? wallX(&building) : wallY(&building);
    const float across = wall > 0.0f ? -2.5f : 2.5f;
    const float from = (facesX ? building.min.y : building.min.x) - 3.0f;
    const float to = (facesX ? building.max.y : building.max.x) + 3.0f;
    const float aimHeight = std::min(building.wallTop * 0.45f, 6.0f);
    for (int i = 0; i < count; ++i) {
        PlannedShot shot;
        shot.portrait = true;
        const float along = from + (to - from) * fraction(i, count) + float(rng.uniform(-0.5, 0.5));
        const float aimAlong = along + float(rng.uniform(-5.0, 5.0));
        const float height = eyeHeight + float(rng.uniform(-0.05, 0.05));
        const Point3f centre = facesX ? Point3f{across, along, height} : Point3f{along, across, height};
        const Point3f target =
            facesX ? Point3f{wall, aimAlong, aimHeight} : Point3f{aimAlong, wall, aimHeight};
        shot.camera = lookAtCamera(centre, target, float(rng.uniform(-2.0, 2.0)),
                                   orientedSize(ctx.landscape, true), 20.0f);
        shots.push_back(shot);
    }
}

} // namespace

Camera lookAtCamera(const Point3f &centre, const Point3f &target, float rollDegrees, QSize viewport,
                    float focalMm)
{
    const Point3f forward = (target - centre).normalized();
    Point3f right = forward.cross({0, 0, 1});
    if (right.length() < 1e-4f)
        right = {1, 0, 0}; // looking straight up or down
    right.normalize();
    const Point3f up = right.cross(forward);
    const float c = std::cos(rollDegrees * degree), s = std::sin(rollDegrees * degree);
    Camera camera;
    camera.rotation.setRow(0, right * c + up * s);
    camera.rotation.setRow(1, up * c - right * s);
    camera.rotation.setRow(2, -forward);
    camera.center = centre;
    camera.focalMm = focalMm;
    camera.viewportPx[0] = viewport.width();
    camera.viewportPx[1] = viewport.height();
    const float pixelSize = 36.0f / float(std::max(viewport.width(), viewport.height()));
    camera.pixelSizeMm[0] = camera.pixelSizeMm[1] = pixelSize;
    camera.centerPx[0] = float(viewport.width() / 2);
    camera.centerPx[1] = float(viewport.height() / 2);
    return camera;
}

std::vector<PlannedShot> planShots(const SampleScene &scene, int views, QSize landscapeSize,
                                   std::uint64_t seed)
{
    SampleRng rng(seed ^ 0x5CA1AB1Eull);
    WalkContext ctx{scene, rng, landscapeSize};
    ctx.orbitStart = float(rng.uniform(0.0, 360.0));
    const int walks = views <= 4 ? 1 : std::min(4, (views + 4) / 5);
    const WalkKind kinds[4] = {WalkKind::Orbit, WalkKind::Street, WalkKind::CloseUp, WalkKind::HighOrbit};

    QDateTime time(QDate(2024, 4, 1), QTime(8, 30), Qt::UTC);
    time = time.addDays(rng.below(150)).addSecs(rng.below(3600));

    std::vector<PlannedShot> shots;
    shots.reserve(std::size_t(std::max(views, 0)));
    for (int walk = 0; walk < walks; ++walk) {
        const int count = views / walks + (walk < views % walks ? 1 : 0);
        const std::size_t first = shots.size();
        switch (kinds[walk % 4]) {
        case WalkKind::Orbit:
            orbitWalk(ctx, count, false, shots);
            break;
        case WalkKind::Street:
            streetWalk(ctx, count, shots);
            break;
        case WalkKind::CloseUp:
            closeUpWalk(ctx, count, shots);
            break;
        case WalkKind::HighOrbit:
            orbitWalk(ctx, count, true, shots);
            break;
        }
        // A break of 25 to 80 minutes before each walk after the first; 8 to 40 s between shots.
        if (walk > 0)
            time = time.addSecs(1500 + rng.below(3300));
        const float walkExposure = float(rng.uniform(0.92, 1.08));
        for (std::size_t i = first; i < shots.size(); ++i) {
            if (i > first)
                time = time.addSecs(8 + rng.below(33));
            shots[i].shotTime = time;
            shots[i].walk = walk;
            shots[i].exposure = walkExposure + float(rng.uniform(-0.02, 0.02));
        }
    }
    return shots;
}

} // namespace SampleGen
