#include "sampler/src/voice/korvel_envelope.h"

#include <new>

#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr unsigned int kEndless = 4294967295u;

constexpr float kSmoothing = 1.0f / 256.0f;

template <typename Record>
Record* newRecord(const char* outOfMemory) {
  auto* record = new (std::nothrow) Record{};
  if (!record) korvel_log(KORVEL_ERR, "%s", outOfMemory);
  return record;
}

korvel_envelope_t* newEnvelope(korvel_voice_t* voice, const char* outOfMemory) {
  auto* env = newRecord<korvel_envelope_t>(outOfMemory);
  if (env) korvel_envelope_setup(env, voice);
  return env;
}

template <typename Record>
int deleteEnvelope(Record* env) {
  delete env;
  return 0;
}

// The finished section is the last: a voice that ends sets its count to 0, and the envelope stays there.
int nextSection(int section) { return section < KORVEL_ENV_FINISHED ? section + 1 : KORVEL_ENV_FINISHED; }

void step(korvel_envelope_t* env) {
  if (env->ticks >= env->data[env->section].count) {
    do {
      env->section = nextSection(env->section);
    } while (env->section < KORVEL_ENV_FINISHED && env->data[env->section].count == 0);
    env->ticks = 0;
  }
  const korvel_env_section_t& s = env->data[env->section];
  env->value = s.coeff * env->value + s.incr;
  if (env->value < s.min) {
    env->value = s.min;
    env->section = nextSection(env->section);
    env->ticks = 1;
  } else if (env->value > s.max) {
    env->value = s.max;
    env->section = nextSection(env->section);
    env->ticks = 1;
  } else {
    ++env->ticks;
  }
}

void fill(float value, float* buf, int n) {
  for (int i = 0; i < n; ++i) buf[i] = value;
}

}  // namespace

extern "C" {

void korvel_envelope_setup(korvel_envelope_t* env, korvel_voice_t* voice) {
  env->owner = voice;
  env->data[KORVEL_ENV_SUSTAIN] = {kEndless, 1.0f, 0.0f, -1.0f, 2.0f};
  env->data[KORVEL_ENV_FINISHED] = {kEndless, 0.0f, 0.0f, -1.0f, 1.0f};
}

korvel_envelope1_t* new_korvel_envelope1(korvel_voice_t* voice) {
  return newEnvelope(voice, "NewEnvelope1(): Out of memory");
}
korvel_envelope2_t* new_korvel_envelope2(korvel_voice_t* voice) {
  return newEnvelope(voice, "NewEnvelope2(): Out of memory");
}
int delete_korvel_envelope1(korvel_envelope1_t* env) { return deleteEnvelope(env); }
int delete_korvel_envelope2(korvel_envelope2_t* env) { return deleteEnvelope(env); }
void envelope1_preprocess(korvel_envelope1_t* env) { step(env); }
void envelope2_preprocess(korvel_envelope2_t* env) { step(env); }
void envelope1_process(korvel_envelope1_t* env, float* buf, int n) { fill(env->value, buf, n); }
void envelope2_process(korvel_envelope2_t* env, float* buf, int n) { fill(env->value, buf, n); }

korvel_envelope3_t* new_korvel_envelope3(korvel_voice_t* voice) {
  auto* env = newRecord<korvel_envelope3_t>("NewEnvelope3(): Out of memory");
  if (env) korvel_envelope_setup(&env->env, voice);
  return env;
}
int delete_korvel_envelope3(korvel_envelope3_t* env) { return deleteEnvelope(env); }
void envelope3_preprocess(korvel_envelope3_t* env) {
  step(&env->env);
  env->smoothed += (env->env.value - env->smoothed) * kSmoothing;
}
void envelope3_process(korvel_envelope3_t* env, float* buf, int n) { fill(env->smoothed, buf, n); }

}  // extern "C"
