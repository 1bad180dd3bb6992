#include "lua_side.h"

#include <new>
#include <unordered_map>

#include "lua.hpp"
#include "platform/rtl/win.h"

namespace benchscript {

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

HostState& Host(lua_State* L) { return **static_cast<HostState**>(lua_getextraspace(L)); }

std::wstring Widen(const char* s) {
  std::wstring w;
  for (; *s; ++s) w += static_cast<wchar_t>(static_cast<unsigned char>(*s));
  return w;
}

// Get(name): the current record's field, as the report's field function answers it.
int LuaGet(lua_State* L) {
  lua_pushnumber(L, FieldValue(Widen(luaL_checkstring(L, 1)), Host(L).record));
  return 1;
}

// The host object: a userdata whose fields and method go through the metatable, as a host binding would.
struct Item {
  int value = 0;
  long long total = 0;
};

int ItemAdd(lua_State* L) {
  auto* item = static_cast<Item*>(luaL_checkudata(L, 1, "Item"));
  item->total += luaL_checkinteger(L, 2);
  return 0;
}

int ItemIndex(lua_State* L) {
  auto* item = static_cast<Item*>(luaL_checkudata(L, 1, "Item"));
  const char* key = luaL_checkstring(L, 2);
  if (key[0] == 'V')
    lua_pushinteger(L, item->value);
  else if (key[0] == 'T')
    lua_pushinteger(L, item->total);
  else if (key[0] == 'A')
    lua_pushcfunction(L, ItemAdd);
  else
    lua_pushnil(L);
  return 1;
}

int ItemNewIndex(lua_State* L) {
  auto* item = static_cast<Item*>(luaL_checkudata(L, 1, "Item"));
  item->value = static_cast<int>(luaL_checkinteger(L, 3));
  return 0;
}

int ItemNew(lua_State* L) {
  new (lua_newuserdatauv(L, sizeof(Item), 0)) Item;
  luaL_setmetatable(L, "Item");
  return 1;
}

struct State {
  lua_State* L;
  Item* item;
  explicit State(HostState& host) : L(luaL_newstate()) {
    luaL_openlibs(L);
    *static_cast<HostState**>(lua_getextraspace(L)) = &host;
    lua_register(L, "Get", LuaGet);
    luaL_newmetatable(L, "Item");
    lua_pushcfunction(L, ItemIndex);
    lua_setfield(L, -2, "__index");
    lua_pushcfunction(L, ItemNewIndex);
    lua_setfield(L, -2, "__newindex");
    lua_pop(L, 1);
    lua_register(L, "NewItem", ItemNew);
    ItemNew(L);
    item = static_cast<Item*>(lua_touserdata(L, -1));
    lua_setglobal(L, "Item");
  }
  ~State() { lua_close(L); }
};

}  // namespace

Timed LuaRun(const std::string& source, HostState& host) {
  Timed t;
  State s(host);
  if (luaL_loadstring(s.L, source.c_str()) != LUA_OK) {
    t.error = Widen(lua_tostring(s.L, -1));
    return t;
  }
  const LARGE_INTEGER start = Now();
  if (lua_pcall(s.L, 0, 1, 0) != LUA_OK) {
    t.error = Widen(lua_tostring(s.L, -1));
    return t;
  }
  t.seconds = Seconds(start, Now());
  t.result = lua_tonumber(s.L, -1);
  host.value = s.item->value;
  host.total = s.item->total;
  return t;
}

Timed LuaEvaluateLoop(const std::string& expression, int records, HostState& host) {
  Timed t;
  State s(host);
  // The same service as Evaluate: an expression text in, its value out, compiled once and kept by its text.
  std::unordered_map<std::string, int> cache;
  auto evaluate = [&](const std::string& text) -> double {
    auto it = cache.find(text);
    if (it == cache.end()) {
      if (luaL_loadstring(s.L, ("return " + text).c_str()) != LUA_OK) return 0;
      it = cache.emplace(text, luaL_ref(s.L, LUA_REGISTRYINDEX)).first;
    }
    lua_rawgeti(s.L, LUA_REGISTRYINDEX, it->second);
    if (lua_pcall(s.L, 0, 1, 0) != LUA_OK) {
      t.error = Widen(lua_tostring(s.L, -1));
      lua_pop(s.L, 1);
      return 0;
    }
    const double v = lua_tonumber(s.L, -1);
    lua_pop(s.L, 1);
    return v;
  };
  host.record = 0;
  evaluate(expression);
  const LARGE_INTEGER start = Now();
  double sum = 0;
  for (int r = 0; r < records; ++r) {
    host.record = r;
    sum += evaluate(expression);
  }
  t.seconds = Seconds(start, Now());
  t.result = sum;
  return t;
}

Timed LuaEmptyProgram() {
  Timed t;
  HostState host;
  const LARGE_INTEGER start = Now();
  {
    State s(host);
    if (luaL_loadstring(s.L, "") != LUA_OK || lua_pcall(s.L, 0, 0, 0) != LUA_OK) t.error = L"empty program failed";
  }
  t.seconds = Seconds(start, Now());
  return t;
}

}  // namespace benchscript
