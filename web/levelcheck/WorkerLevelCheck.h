#pragma once

#include <memory>
#include <string>
#include <vector>

class SceneDriver;

// levelcheck inside one Web Worker: the level's bytes come in from the
// page, answers go out as JSON texts. Every answer is made by the desktop
// tool's own classes (LevelReport, LevelPlayer, LevelSweep and the
// LevelCheckCommand that prints), so it is what `levelcheck` says of the
// same bytes. One instance per worker; the level is written under its name
// into the worker's own file system first, because that is what the
// classes read.
class WorkerLevelCheck {
  public:
    WorkerLevelCheck();
    ~WorkerLevelCheck();
    WorkerLevelCheck(const WorkerLevelCheck&) = delete;
    WorkerLevelCheck& operator=(const WorkerLevelCheck&) = delete;

    // `levelcheck [--quiet] NAME`: the loaded cells, counts, messages and
    // the printed report. Needs no scene.
    std::string Check(const std::string& name, const std::string& bytes, bool quiet);
    // The serve angles a sweep plays, in order: {"angles": [...]}.
    std::string ServeAngles() const;
    // One run of a sweep, as a desktop sweep worker plays it: the serve angle
    // at index, loop detection on. {"index", "line" (the run for Report),
    // "csv" (its CSV row), "header" (the CSV's header line)}. Opens the game scene on first use.
    // frames is the run's frame limit (--frames), a whole number; a double so that any number from
    // JavaScript is checked before it is converted.
    std::string Play(const std::string& name, const std::string& bytes, int index, double frames);
    // One run of a sweep played again as Play plays it (the same angle, the
    // same loop detection), recorded for showing in the page: per frame the
    // ball's and the paddle's drawing places, and every change of a brick,
    // of the balls left and of the points. {"index", "angle", "csv",
    // "header", "frames", "paddleY", "ball" [x0, y0, x1, y1, ...], "paddle"
    // [x0, ...], "paddleWidth", "bricks" [frame, cell, kind, ...]
    // (kind 0: gone), "lives" [frame, lives, ...], "points" [frame, points,
    // ...], "cells" [kind, x, y, ...]: the 300 cells
    // at the start and their places under the top line}. frames as for Play.
    std::string Trace(const std::string& name, const std::string& bytes, int index, double frames);
    // `levelcheck --sweep --csv ... [--min-clear P] [--quiet] NAME` on runs
    // played elsewhere: lines holds one Play "line" per serve angle, in any
    // order. {"exitStatus", "output", "csv"}. minClear below 0: none.
    std::string Report(const std::string& name, const std::string& bytes, const std::string& lines,
                       double frames, double minClear, bool quiet);

    // `levelcheck --png DIR [--quiet] NAME`: the level as the game shows it
    // before the serve, as a PNG file's bytes in base64. {"exitStatus",
    // "output", "png"} ("png" empty when none was written). Opens the game
    // scene on first use.
    std::string Picture(const std::string& name, const std::string& bytes, bool quiet);

  private:
    // Writes the level where the classes will read it; false with a reason.
    bool WriteLevel(const std::string& name, const std::string& bytes, std::string* error) const;
    bool OpenScene(std::string* error);
    // What Play and Trace check before a serve, then the scene opened and
    // the level written: "" when it may be played, else the failure to
    // answer.
    std::string PrepareServe(const std::string& name, const std::string& bytes, int index,
                             double frames);

    std::unique_ptr<SceneDriver> driver;
    std::string sceneError;
    std::vector<float> angles;
};
