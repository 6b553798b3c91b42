#pragma once

// Where the countdown stands. Never persisted: every run starts idle.
enum class TimerState { idle, running, paused, done };
