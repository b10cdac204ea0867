#pragma once

// The phase of a pan or pinch gesture as the view controller's gesture handlers receive it.
enum class GestureState { began, changed, ended, cancelled };
