-- The plug-ins' own saved state (an XML property list) read back from an Ardour 7 session
-- folder, for the scripts that check them in Ardour: `dofile` it in ardour7-lua.

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
-- as its LV2 client stores the plug-in's state.
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

-- The plug-in's own saved state (a property list) in snapshot file of session folder dir.
function savedState(format, dir, file, name)
  local session = read(dir .. "/" .. file)
  local id, block = session:match('<Processor id="(%d+)" name="' .. name .. '"[^>]-type="' .. format:lower() .. '"(.-)</Processor>')
  if not block then return "" end
  if format == "VST3" then
    return fromBase64(block:match("<chunk>(.-)</chunk>") or ""):match("<plist.-</plist>") or ""
  end
  local folder = block:match('state%-dir="([^"]+)"') or ""
  local turtle = read(dir .. "/plugins/" .. id .. "/" .. folder .. "/state.ttl")
  return fromJuceBase64(turtle:match(':StateString> "([^"]+)"') or "0."):match("<plist.-</plist>") or ""
end

function stateValue(plist, identifier)
  return tonumber(plist:match("<key>" .. identifier .. "</key>%s*<[a-z]+>([^<]+)<"))
end

function stateName(plist) return plist:match("<key>name</key>%s*<string>([^<]*)</string>") or "?" end
