-- What an Ardour 7 session folder holds of a plug-in, as the unit's property list, for the
-- scripts that check the plug-ins in Ardour: `dofile` it in ardour7-lua. VST3: the plug-in's own
-- state. LV2: the control values Ardour stores itself, with the program it names.

local function read(path)
  local file = io.open(path, "rb")
  if not file then return "" end
  local text = file:read("a")
  file:close()
  return text
end

local base64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
local juceBase64 = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"

-- Standard base64: six bits a character, most significant first (Ardour's VST3 chunks).
local function fromBase64(text)
  local out, bits, count = {}, 0, 0
  for c in text:gmatch("[%w+/]") do
    bits = (bits << 6) | (base64:find(c, 1, true) - 1)
    count = count + 6
    if count >= 8 then
      count = count - 8
      out[#out + 1] = string.char((bits >> count) & 0xFF)
    end
  end
  return table.concat(out)
end

-- JUCE's MemoryBlock text ("<size>." and six bits a character, least significant first),
-- as JUCE's LV2 client stored the plug-in's state.
local function fromJuceBase64(text)
  local size, body = text:match("^(%d+)%.(.*)$")
  local out, bits, count = {}, 0, 0
  for c in body:gmatch(".") do
    bits = bits | ((juceBase64:find(c, 1, true) - 1) << count)
    count = count + 6
    while count >= 8 do
      out[#out + 1] = string.char(bits & 0xFF)
      bits, count = bits >> 8, count - 8
    end
  end
  return table.concat(out):sub(1, tonumber(size))
end

-- The property list a state file of JUCE's LV2 client holds.
function juceState(path)
  local turtle = read(path)
  return fromJuceBase64(turtle:match(':StateString> "([^"]+)"') or "0."):match("<plist.-</plist>") or ""
end

-- A Turtle string literal's text: long ("""...""") or short, escapes undone.
local function turtleString(text)
  local body = text:match('^"""(.-)"""') or text:match('^"(.-[^\\])"') or ""
  return (body:gsub("\\(.)", { n = "\n", t = "\t", r = "\r", ['"'] = '"', ["\\"] = "\\" }))
end

-- The tuning our LV2 plug-in keeps in the state Ardour stores for it (in the session folder's
-- plugins/<processor id>/<state-dir>/state.ttl), as the keys and strings of a property list.
function ownStateTuning(dir, id, lv2)
  local stateDir = lv2:match('state%-dir="([^"]+)"')
  if not id or not stateDir then return "" end
  local turtle = read(dir .. "/plugins/" .. id .. "/" .. stateDir .. "/state.ttl")
  local state = turtleString(turtle:match("#state>%s*(.*)") or "")
  local keys = {}
  for _, key in ipairs({ "tuningScale", "tuningKeyboardMap" }) do
    local text = state:match("<key>" .. key .. "</key>%s*<string>(.-)</string>")
    if text then keys[#keys + 1] = string.format("<key>%s</key><string>%s</string>", key, text) end
  end
  return table.concat(keys)
end

-- The state of plug-in name in snapshot file of session folder dir, as a property list.
function savedState(format, dir, file, name)
  local session = read(dir .. "/" .. file)
  local id, block = session:match('<Processor id="(%d+)" name="' .. name .. '"[^>]-type="' .. format:lower() .. '"(.-)</Processor>')
  if not block then return "" end
  if format == "VST3" then
    return fromBase64(block:match("<chunk>(.-)</chunk>") or ""):match("<plist.-</plist>") or ""
  end
  local lv2 = block:match("<lv2 (.-)</lv2>") or ""
  local values = {}
  for symbol, value in lv2:gmatch('<Port symbol="([^"]+)" value="([^"]+)"') do
    values[#values + 1] = string.format("<key>%s</key><real>%s</real>", symbol, value)
  end
  return string.format("<plist><dict><key>name</key><string>%s</string><key>%sParams</key><dict>%s</dict>%s</dict></plist>",
    lv2:match('last%-preset%-label="([^"]*)"') or "", name:lower(), table.concat(values),
    ownStateTuning(dir, id, lv2))
end

function stateValue(plist, identifier)
  return tonumber(plist:match("<key>" .. identifier .. "</key>%s*<[a-z]+>([^<]+)<"))
end

function stateName(plist) return plist:match("<key>name</key>%s*<string>([^<]*)</string>") or "?" end
